#include "ShellLinkWriter.h"

#include "error.h"
#include "handle.h"
#include "registry.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <vector>

namespace shelllink {

std::string ShellFolderPath(TShellFolderKind kind) {
  try {
    platform::Registry registry(HKEY_CURRENT_USER);
    registry.OpenKey(kShellFoldersKey);
    return registry.ReadString(ShellFolderValueName(kind));
  } catch (const std::exception&) {
    return {};
  }
}

namespace {

void CreateFolderLevels(const std::string& folderPath) {
  for (const std::string& prefix : FolderPrefixes(folderPath)) {
    ::CreateDirectoryA(prefix.c_str(), nullptr);  // existing folders and roots fail harmlessly
  }
}

std::wstring Widen(const std::string& text) {
  const int size = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> wide(size > 0 ? size : 1, L'\0');
  if (size > 0) ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), size);
  return std::wstring(wide.data());
}

template <typename T>
void QueryOrRaise(IUnknown* object, REFIID iid, platform::ComPtr<T>& out, const char* name) {
  const HRESULT hr = object->QueryInterface(iid, out.put_void());
  if (FAILED(hr) || !out) throw platform::Error(std::string("Schnittstelle ") + name + " nicht unterstützt");
}

}  // namespace

void TCreateIn::SetSubfolder(const std::string& value) {
  if (value == subfolder_) return;
  subfolder_ = NormalizeSubfolder(value);
}

TShellLinkWriter::TShellLinkWriter(forms::Form* owner, std::string name)
    : forms::Component(owner, std::move(name), forms::Kind::Custom) {}

void TShellLinkWriter::CreateLink(bool DeleteLink) {
  std::string ignored;
  CreateLink(DeleteLink, ignored);
}

std::string TShellLinkWriter::LinkFolder() const {
  return LinkFolderPath(ShellFolderPath(CreateIn.ShellFolder), CreateIn.Subfolder());
}

void TShellLinkWriter::CreateLink(bool DeleteLink, std::string& LinkFolder) {
  LinkFolder = this->LinkFolder();
  if (CreateIn.CreatePath) CreateFolderLevels(LinkFolder);

  platform::ComPtr<IUnknown> object;
  const HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                        IID_IUnknown, object.put_void());
  if (FAILED(hr) || !object) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
    throw platform::Error(
        platform::FormatText("Das Verknüpfungsobjekt der Shell kann nicht erzeugt werden (%s)", code));
  }
  platform::ComPtr<IShellLinkA> link;
  QueryOrRaise(object.get(), IID_IShellLinkA, link, "IShellLinkA");
  platform::ComPtr<IPersistFile> file;
  QueryOrRaise(object.get(), IID_IPersistFile, file, "IPersistFile");

  // The setters' results are not examined: a link the shell cannot complete is still saved.
  link->SetArguments(ParamString.c_str());
  link->SetPath(LinkTarget.c_str());
  link->SetWorkingDirectory(WorkingDirectory.c_str());
  if (RunAs == raMinimized) link->SetShowCmd(SW_SHOWMINNOACTIVE);
  if (RunAs == raMaximized) link->SetShowCmd(SW_SHOWMAXIMIZED);

  const std::string linkFile = LinkFilePath(LinkFolder, LinkName);
  file->Save(Widen(linkFile).c_str(), FALSE);
  if (DeleteLink) ::DeleteFileA(linkFile.c_str());
}

}  // namespace shelllink
