// The setup's localisation: loads a language file, applies it to the forms by form and
// component name, and looks up the wizard's texts by key with their German defaults.
#pragma once

#include "lang_file.h"

#include <memory>
#include <string>

namespace forms {
class Component;
class Form;
}  // namespace forms

using LanguagePtr = std::shared_ptr<const lang::Language>;

// The language in force for LangText; nothing until the wizard loads one. The wizard assigns
// every LoadLangFile result to it, nothing included.
extern LanguagePtr CurrentLanguage;

// Reads the language file at `path` whole; nothing when no file exists there. An existing
// file that cannot be read raises platform::Error.
LanguagePtr LoadLangFile(const std::string& path);

// Applies the language to forms[0] .. forms[lastIndex] in order (empty entries skipped):
// captions, hints, lines of multi-line edits, heading cells of string grids and items of
// radio groups and plain combo boxes. Texts without an entry keep their current values.
void ApplyLanguage(forms::Form* const forms[], int lastIndex, const lang::Language& language);

// The text of `key` in section "Misc" of the current language with "*|*" turned into line
// breaks; `defaultText` when no language is loaded, empty when the language lacks the key.
void LangText(const std::string& defaultText, const std::string& key, std::string& text);
std::string LangText(const std::string& defaultText, const std::string& key);

// Sets the component's text property `prop` ("Caption", "Hint") when `value` is not empty
// and the component's kind has that property; otherwise does nothing.
void SetTextProp(forms::Component* component, const std::string& prop, const std::string& value);
