#include "ZipArchive.h"

#include <map>

#include "application.h"
#include "string_table.h"

namespace {

// The library hands the caller field of the parameter block back in every callback record.
// It carries a number per component, which fits the 32-bit field in every build.
std::map<uint32_t, TZipArchive*>& Callers() {
  static std::map<uint32_t, TZipArchive*> callers;
  return callers;
}

uint32_t RegisterCaller(TZipArchive* zip) {
  static uint32_t next = 0;
  const uint32_t id = ++next;
  Callers()[id] = zip;
  return id;
}

constexpr size_t kMaxPasswordLength = 255;

}  // namespace

TZipArchive::TZipArchive(forms::Form* owner, const std::string& name)
    : forms::Component(owner, name, forms::Kind::Custom),
      ownerWindow_(forms::Application::Instance().MainWindow()),
      callerId_(RegisterCaller(this)) {}

TZipArchive::~TZipArchive() { Callers().erase(callerId_); }

TZipArchive* TZipArchive::FromCaller(uint32_t caller) {
  const auto it = Callers().find(caller);
  return it == Callers().end() ? nullptr : it->second;
}

void TZipArchive::SetZipFilename(const std::string& name) {
  zipFilename_ = name;
  if (!loading_) List();
}

void TZipArchive::SetPassword(const std::string& password) { password_ = password.substr(0, kMaxPasswordLength); }

void TZipArchive::SetDLLDirectory(const std::string& folder) {
  if (folder == dllDirectory_) return;
  dllDirectory_ = folder;
  if (!dllDirectory_.empty() && dllDirectory_.back() == '\\') dllDirectory_.pop_back();
}

void TZipArchive::ReportMessage(int id, const std::string& extra) {
  errCode_ = id;
  ShowAndPass(ziparchive::MessageText(id) + extra, true);
}

void TZipArchive::ReportError(const EZipArchive& error) {
  errCode_ = error.MessageId;
  ShowAndPass(error.what(), error.ShowToUser);
}

void TZipArchive::ShowAndPass(const std::string& text, bool showBox) {
  message_ = text;
  if (showBox && !Unattended) forms::Application::Instance().MessageBox(text, MB_OK | MB_ICONEXCLAMATION);
  // A failing message handler is shown and stops only itself, as for any event handler.
  if (OnMessage) forms::Application::Instance().Dispatch([&] { OnMessage(this, 0, text); });
}

void TZipArchive::FireDirUpdate() {
  if (OnDirUpdate) forms::Application::Instance().Dispatch([&] { OnDirUpdate(this); });
}

void TZipArchive::FireProgress(ProgressType type, const std::string& name, int size) {
  if (OnProgress) OnProgress(this, type, name, size);
}

ziparchive::DriveState TZipArchive::CheckDrive(const std::string& root) {
  return ziparchive::CheckDrive(root, AddOptions.Contains(AddDiskSpanErase));
}

bool TZipArchive::HasNumberedParts(const std::string& root) { return ziparchive::IsFixedOrNetwork(root); }
