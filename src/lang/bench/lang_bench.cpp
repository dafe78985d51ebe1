// Prints how long a language takes to load and to apply to the wizard's licence memo at the
// sizes a medium may bring: a licence of 1 MB with a language file of 250,000 entries (what
// the file size limit holds), and with a language file that replaces every licence line.
#include "IniLang.h"

#include "controls.h"
#include "files.h"
#include "form.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

using namespace forms;

namespace {

const FormDesign kDesign{"TFormLangBench",        "Form2", "Bench", 400,      300, BorderStyle::Dialog,
                         Placement::ScreenCenter, false,   false,   kBtnFace, -11, false};

class BenchForm : public Form {
 public:
  BenchForm() : Form(kDesign) {
    Build({{Kind::Memo, "memo1", "", 8, 8, 380, 280, "", kReadOnly, -1, 0, "", nullptr, 0}});
  }
  Memo& Licence() const { return *static_cast<Memo*>(FindComponent("memo1")); }
};

constexpr size_t kLicenceBytes = 1024 * 1024;
constexpr int kEntries = 250000;

// Lines of 48 characters and CR LF.
std::string LicenceText() {
  std::string text;
  for (int n = 0; text.size() + 50 <= kLicenceBytes; ++n) {
    std::string line = "Lizenzbedingung " + std::to_string(n) + " ";
    line.resize(48, '.');
    text += line + "\r\n";
  }
  return text;
}

// 250,000 entries of the wizard's section, none of them a line of the memo: four bytes each.
std::string ManyEntries() {
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string text = "[Form2]\n";
  for (int i = 0; i < kEntries; ++i) {
    text += kDigits[i % 36];
    text += kDigits[i / 36 % 36];
    text += "=\n";
  }
  return text;
}

std::string EveryLine(int lines) {
  std::string text = "[Form2]\n";
  for (int i = 0; i < lines; ++i) text += "Form2.memo1.lines[" + std::to_string(i) + "]=Zeile\n";
  return text;
}

double Milliseconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Measure(BenchForm& form, const char* what, const std::string& path) {
  LanguagePtr language;
  const double load = Milliseconds([&] { language = LoadLangFile(path); });
  Form* forms[] = {&form};
  const double apply = Milliseconds([&] { ApplyLanguage(forms, 0, *language); });
  std::printf("%s: load %.1f ms, apply to the licence %.1f ms\n", what, load, apply);
}

}  // namespace

int main() {
  const std::string folder = platform::TempFolder() + "talvenor-lang-bench\\";
  platform::ForceDirectories(folder);
  const std::string licence = LicenceText();
  std::ofstream(folder + "licence.txt", std::ios::binary) << licence;
  std::ofstream(folder + "many.lng", std::ios::binary) << ManyEntries();

  BenchForm form;
  const double load = Milliseconds([&] { form.Licence().LoadFromFile(folder + "licence.txt"); });
  const int lines = form.Licence().Lines()->Count();
  std::ofstream(folder + "every.lng", std::ios::binary) << EveryLine(lines);
  std::printf("licence of %zu bytes, %d lines: loaded into the memo in %.1f ms\n", licence.size(), lines, load);
  Measure(form, "language_250000_entries", folder + "many.lng");
  Measure(form, "language_every_line", folder + "every.lng");

  for (const char* name : {"licence.txt", "many.lng", "every.lng"}) ::DeleteFileA((folder + name).c_str());
  ::RemoveDirectoryA(folder.c_str());
  return 0;
}
