#include "command_line.h"

#include "value_rules.h"

#include <set>

namespace app {

namespace {

enum class Value { None, Required, Optional };

bool AnyValue(const std::string&) { return true; }
bool LanguageFileName(const std::string& name) {
  static const std::string kExtension = ".lng";
  if (!setupinf::IsPlainFileName(name) || name.size() <= kExtension.size()) return false;
  for (size_t i = 0; i < kExtension.size(); ++i) {
    const char c = name[name.size() - kExtension.size() + i];
    if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != kExtension[i]) return false;
  }
  return true;
}

struct SwitchRule {
  const char* name;  // in upper case
  Value value;
  bool unattendedOnly;  // has a meaning only with /SILENT or /VERYSILENT
  bool (*valid)(const std::string& value);
  const char* expected;  // what a valid value is, for the error
  void (*apply)(SetupOptions& options, const std::string& value);
};

const SwitchRule kRules[] = {
    {"SILENT", Value::None, false, AnyValue, "",
     [](SetupOptions& o, const std::string&) {
       if (o.display == Display::Wizard) o.display = Display::Silent;
     }},
    // The quieter of the two wins when both are given.
    {"VERYSILENT", Value::None, false, AnyValue, "",
     [](SetupOptions& o, const std::string&) { o.display = Display::VerySilent; }},
    {"SUPPRESSMSGBOXES", Value::None, true, AnyValue, "",
     [](SetupOptions& o, const std::string&) { o.suppressMessageBoxes = true; }},
    {"DIR", Value::Required, true, setupinf::IsAbsoluteFolderPath,
     "einen absoluten Ordner wie C:\\Programme\\Talvenor oder \\\\Server\\Freigabe\\Talvenor",
     [](SetupOptions& o, const std::string& v) { o.targetFolder = v; }},
    {"LANG", Value::Required, true, LanguageFileName, "den Namen einer Sprachdatei des Mediums wie english.lng",
     [](SetupOptions& o, const std::string& v) { o.languageFile = v; }},
    {"NOAUTOSTART", Value::None, true, AnyValue, "", [](SetupOptions& o, const std::string&) { o.autostart = false; }},
    {"LOG", Value::Optional, false, AnyValue, "",
     [](SetupOptions& o, const std::string& v) {
       o.log = true;
       o.logFile = v;
     }},
    {"HELP", Value::None, false, AnyValue, "", [](SetupOptions& o, const std::string&) { o.help = true; }},
    {"?", Value::None, false, AnyValue, "", [](SetupOptions& o, const std::string&) { o.help = true; }},
};

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return text;
}

const SwitchRule* FindRule(const std::string& upperName) {
  for (const SwitchRule& rule : kRules)
    if (upperName == rule.name) return &rule;
  return nullptr;
}

// What is wrong with one argument under its rule; empty when it is right.
std::string ValueProblem(const SwitchRule& rule, const std::string& shown, bool hasValue, const std::string& value) {
  if (rule.value == Value::None && hasValue) return shown + " erwartet keinen Wert: " + shown + "=" + value;
  if (rule.value == Value::Required && !hasValue) return shown + "= braucht einen Wert.";
  if (hasValue && value.empty()) return shown + "= braucht einen Wert.";
  if (hasValue && !rule.valid(value)) return shown + "= erwartet " + rule.expected + ": " + value;
  return {};
}

}  // namespace

std::vector<std::string> SplitArguments(const std::string& commandLine) {
  std::vector<std::string> args;
  size_t i = 0;
  // The program's name ends at the closing quote when it starts with one, else at a blank.
  if (i < commandLine.size() && commandLine[i] == '"') {
    const size_t close = commandLine.find('"', 1);
    i = close == std::string::npos ? commandLine.size() : close + 1;
  }
  while (i < commandLine.size() && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
  for (;;) {
    while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
    if (i >= commandLine.size()) return args;
    std::string arg;
    bool quoted = false;
    for (; i < commandLine.size() && (quoted || (commandLine[i] != ' ' && commandLine[i] != '\t')); ++i) {
      if (commandLine[i] == '"')
        quoted = !quoted;
      else
        arg += commandLine[i];
    }
    args.push_back(arg);
  }
}

ParsedCommandLine ParseArguments(const std::vector<std::string>& args) {
  ParsedCommandLine parsed;
  std::set<std::string> seen;
  std::string unattendedOnly;  // the first switch that needs /SILENT or /VERYSILENT
  const auto fail = [&parsed](const std::string& text) {
    if (parsed.error.empty()) parsed.error = text;
  };
  for (const std::string& arg : args) {
    const size_t equals = arg.find('=');
    const std::string name = UpperAscii(arg.substr(std::min<size_t>(1, arg.size()), equals - 1));
    const SwitchRule* rule = (!arg.empty() && (arg[0] == '/' || arg[0] == '-')) ? FindRule(name) : nullptr;
    if (!rule) {
      fail("Unbekanntes Argument: " + arg);
      continue;
    }
    const std::string shown = "/" + name;
    const bool hasValue = equals != std::string::npos;
    const std::string value = hasValue ? arg.substr(equals + 1) : std::string();
    if (name == "SUPPRESSMSGBOXES") parsed.quiet = true;
    if (!seen.insert(name == "?" ? "HELP" : name).second) fail(shown + " ist mehrfach angegeben.");
    const std::string problem = ValueProblem(*rule, shown, hasValue, value);
    if (!problem.empty()) {
      fail(problem);
      continue;
    }
    if (rule->unattendedOnly && unattendedOnly.empty()) unattendedOnly = shown;
    rule->apply(parsed.options, value);
  }
  if (!unattendedOnly.empty() && !parsed.options.Unattended())
    fail(unattendedOnly + " gilt nur zusammen mit /SILENT oder /VERYSILENT.");
  return parsed;
}

std::string UsageText() {
  return "Aufruf: setup.exe [/SILENT | /VERYSILENT] [/SUPPRESSMSGBOXES] [/DIR=\"Ordner\"] "
         "[/LANG=Sprachdatei] [/NOAUTOSTART] [/LOG[=\"Datei\"]]\n"
         "Ohne Argumente führt der Assistent durch die Installation.\n\n"
         "/SILENT\tohne Assistent; nur das Fenster des Kopiervorgangs wird gezeigt\n"
         "/VERYSILENT\tohne jedes Fenster; nur Meldungsfenster erscheinen noch\n"
         "/SUPPRESSMSGBOXES\tauch keine Meldungsfenster: ihr Text steht im Protokoll, der Exit-Code "
         "sagt den Ausgang\n"
         "/DIR=\"Ordner\"\tder Zielordner (Vorgabe: der Programme-Ordner und der Programmname)\n"
         "/LANG=Sprachdatei\teine Sprachdatei des Mediums, etwa english.lng (Vorgabe: wie im Assistenten)\n"
         "/NOAUTOSTART\tkeine Verknüpfung im Autostart-Ordner\n"
         "/LOG[=\"Datei\"]\tein Protokoll, ohne Dateinamen als neue Datei im Temp-Ordner\n"
         "/? oder /HELP\tdiese Übersicht\n"
         "Schalter beginnen mit / oder -, Groß- und Kleinschreibung zählt nicht. Ohne Assistent gilt die "
         "Lizenz als von dem angenommen, der Setup so startet.\n\n"
         "Exit-Codes:\n"
         "0\tinstalliert\n"
         "1\tungültige Befehlszeile\n"
         "2\tabgebrochen, bevor etwas geschrieben wurde\n"
         "3\tgescheitert, bevor etwas geschrieben wurde (Zielordner unbrauchbar, Archiv fehlt oder ist "
         "unlesbar, Diskettenwechsel nötig, zu wenig Platz)\n"
         "4\tunvollständig installiert (einzelne Dateien fehlen; die Deinstallation entfernt, was geschrieben "
         "wurde)\n"
         "5\twährend der Installation abgebrochen und rückgängig gemacht\n"
         "6\tein anderes Setup oder die Deinstallation dieses Programms läuft gerade\n"
         "7\twegen eines Fehlers während der Installation abgebrochen und rückgängig gemacht\n"
         "8\tnicht alles ließ sich rückgängig machen (das Protokoll nennt, was geblieben ist)\n";
}

}  // namespace app
