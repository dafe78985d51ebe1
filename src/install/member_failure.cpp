#include "member_failure.h"

#include "unzip_abi.h"

namespace install {

ReasonText FailureReason(int errorCode) {
  using namespace unzipabi::errors;
  switch (errorCode) {
    case kMissingOnDisk: return {"install_reason_missing", "Die Datei fehlt nach dem Entpacken"};
    case kErrArchive: return {"install_reason_archive", "Das Archiv fehlt, ist unlesbar oder beschädigt"};
    case kErrUnsupported:
      return {"install_reason_unsupported",
              "Das Format wird nicht unterstützt (Packverfahren, Verschlüsselung oder ZIP64)"};
    case kErrDamaged: return {"install_reason_damaged", "Die komprimierten Daten sind beschädigt"};
    case kErrCrc: return {"install_reason_crc", "Die Prüfsumme stimmt nicht, die Daten sind beschädigt"};
    case kErrPassword: return {"install_reason_password", "Die Datei ist verschlüsselt"};
    case kErrUnsafeName:
      return {"install_reason_unsafe_name", "Der Name würde außerhalb des Zielordners schreiben und wurde abgelehnt"};
    case kErrWrite:
      return {"install_reason_write",
              "Die Datei konnte nicht geschrieben werden (Datenträger voll oder Zugriff verweigert)"};
    case kErrCancelled: return {"install_reason_cancelled", "Abgebrochen"};
    case kErrName:
      return {"install_reason_name", "Der Name ist ungültig oder im Zeichensatz des Systems nicht darstellbar"};
    default: return {"install_reason_internal", "Unerwarteter Fehler beim Entpacken"};
  }
}

std::string NameInMessage(const std::string& message) {
  const size_t colon = message.find(": ");
  std::string name = colon == std::string::npos ? std::string() : message.substr(colon + 2);
  // Names in messages keep the archive's separators; reported members have backslashes.
  for (char& c : name)
    if (c == '/') c = '\\';
  return name;
}

}  // namespace install
