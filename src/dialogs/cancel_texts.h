// The texts of the two cancel confirmations, which say the same during the wizard and
// during the extraction.
#pragma once

namespace cancel_texts {
constexpr const char* kNotInstalled =
    "Die Installation ist noch nicht vollständig. Wenn Sie die Installation jetzt beenden wird "
    "das Programm nicht installiert.";
constexpr const char* kStartLater =
    "Sie können das Installationsprogramm später starten, um das Programm zu installieren.";
constexpr const char* kContinueOrEnd =
    "Drücken Sie Frotfahren, um mit der Installation fortzufahren.. Drücken Sie Beenden, um das "
    "Installationsprogramm zu beenden.";
}  // namespace cancel_texts
