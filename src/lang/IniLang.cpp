#include "IniLang.h"

#include "error.h"
#include "files.h"
#include "form.h"
#include "handle.h"

#include <windows.h>

#include <utility>
#include <vector>

LanguagePtr CurrentLanguage;

namespace {

using lang::Language;
using lang::Section;

std::string ReadWholeFile(const std::string& path) {
  platform::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw platform::Error(platform::FormatText("Datei %s kann nicht geöffnet werden", path));
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size))
    throw platform::Error(platform::FormatText("Datei %s kann nicht gelesen werden", path));
  // A file of that size is no language file; refusing it keeps memory use bounded.
  if (size.QuadPart > LONGLONG(lang::kMaxLanguageFileSize))
    throw platform::Error(platform::FormatText("Die Sprachdatei %s ist zu groß", path));
  std::string text(size_t(size.QuadPart), '\0');
  size_t got = 0;
  while (got < text.size()) {
    DWORD n = 0;
    if (!::ReadFile(file.get(), &text[got], DWORD(text.size() - got), &n, nullptr))
      throw platform::Error(platform::FormatText("Datei %s kann nicht gelesen werden", path));
    if (n == 0) break;  // the file shrank while it was read
    got += n;
  }
  text.resize(got);
  return text;
}

void ApplyLines(const Language& language, const Section* section, const std::string& form, forms::Component& c,
                forms::TextList& lines) {
  const int count = lines.Count();
  std::vector<std::pair<int, std::string>> changes;
  for (int i = 0; i < count; ++i) {
    std::string value = language.ReadString(section, lang::LineKey(form, c.Name(), i), lang::kNoEntry);
    if (value != lang::kNoEntry) changes.emplace_back(i, std::move(value));
  }
  if (!changes.empty()) lines.SetMany(changes);
}

void ApplyCells(const Language& language, const Section* section, const std::string& form, forms::Component& c,
                forms::CellGrid& grid) {
  const int cols = grid.ColCount();
  for (int col = 0; col < cols; ++col) {
    const std::string value = language.ReadString(section, lang::CellKey(form, c.Name(), col, 0), lang::kNoEntry);
    if (value != lang::kNoEntry) grid.SetCell(col, 0, value);
  }
  const int rows = grid.RowCount();
  for (int row = 0; row < rows; ++row) {
    const std::string value = language.ReadString(section, lang::CellKey(form, c.Name(), 0, row), lang::kNoEntry);
    if (value != lang::kNoEntry) grid.SetCell(0, row, value);
  }
}

void ApplyItems(const Language& language, const Section* section, const std::string& form, forms::Component& c,
                forms::TextList& items) {
  const int count = items.Count();
  for (int i = 0; i < count; ++i) {
    const std::string value = language.ReadString(section, lang::ItemKey(form, c.Name(), i), "");
    if (!value.empty()) items.Set(i, value);
  }
}

void ApplyToComponent(const Language& language, const Section* section, const std::string& form, forms::Component& c) {
  for (const char* prop : {"Caption", "Hint"})
    SetTextProp(&c, prop, language.ReadString(section, lang::PropertyKey(form, c.Name(), prop), ""));
  if (forms::TextList* lines = c.Lines()) ApplyLines(language, section, form, c, *lines);
  if (forms::CellGrid* grid = c.Cells()) ApplyCells(language, section, form, c, *grid);
  if (forms::TextList* items = c.Items()) ApplyItems(language, section, form, c, *items);
}

void ApplyToForm(const Language& language, forms::Form& form) {
  const std::string& name = form.FormName();
  const Section* section = language.FindSection(name);
  const std::string caption = language.ReadString(section, lang::FormCaptionKey(name), "");
  if (!caption.empty()) form.SetCaption(caption);
  // A copy of the list: applying a text never adds components, but the list stays safe.
  const std::vector<forms::Component*> components = form.Components();
  for (forms::Component* c : components) ApplyToComponent(language, section, name, *c);
}

}  // namespace

LanguagePtr LoadLangFile(const std::string& path) {
  if (!platform::FileExists(path)) return nullptr;
  return std::make_shared<const Language>(ReadWholeFile(path), &platform::SameText, &platform::SameTextKey);
}

void ApplyLanguage(forms::Form* const forms[], int lastIndex, const lang::Language& language) {
  for (int i = 0; i <= lastIndex; ++i)
    if (forms[i]) ApplyToForm(language, *forms[i]);
}

void LangText(const std::string& defaultText, const std::string& key, std::string& text) {
  text = lang::MiscText(CurrentLanguage.get(), defaultText, key);
}

std::string LangText(const std::string& defaultText, const std::string& key) {
  return lang::MiscText(CurrentLanguage.get(), defaultText, key);
}

void SetTextProp(forms::Component* component, const std::string& prop, const std::string& value) {
  if (!component || value.empty() || !component->HasTextProp(prop)) return;
  component->SetTextProp(prop, value);
}
