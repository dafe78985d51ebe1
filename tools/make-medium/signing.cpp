#include "signing.h"

#include <algorithm>
#include <system_error>

#include "files.h"

namespace medium {

namespace {

const char kSystemCertificates[] = "/etc/ssl/certs/ca-certificates.crt";

// The password in a file that only this user reads, for as long as one tool runs: a
// password on a command line is visible to every user of the machine.
class PasswordFile {
 public:
  PasswordFile(const std::string& folder, const std::string& password)
      : path_(InFolder(folder, "password")), written_(host::WritePrivateFile(path_, password)) {}
  ~PasswordFile() {
    std::error_code ignored;
    std::filesystem::remove(FsPath(path_), ignored);
  }
  PasswordFile(const PasswordFile&) = delete;
  PasswordFile& operator=(const PasswordFile&) = delete;
  const std::string& Path() const { return path_; }
  bool Written() const { return written_; }

 private:
  std::string path_;
  bool written_;
};

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \r\n\t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \r\n\t") - first + 1);
}

}  // namespace

std::string FindOnPath(const std::string& program) {
  std::string path;
  if (!host::Environment("PATH", path)) return std::string();
  const char separator = host::kWindows ? ';' : ':';
  for (size_t start = 0; start <= path.size();) {
    const size_t end = std::min(path.find(separator, start), path.size());
    std::string folder = path.substr(start, end - start);
    start = end + 1;
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"')
      folder = folder.substr(1, folder.size() - 2);
    if (folder.empty()) continue;  // the current folder is never searched
    const std::string candidate = InFolder(folder, program);
    std::error_code error;
    if (std::filesystem::is_regular_file(FsPath(candidate), error)) return candidate;
  }
  return std::string();
}

Signer::Signer(const SigningOptions& options, Findings& findings) : options_(options) {
  if (!Active()) return;
  if (!ReadWhole(options.pkcs12)) findings.InputOutputError(options.pkcs12, "", "cannot be read");
  if (!host::Environment(options.passwordVariable, password_))
    findings.Error("--sign-password-env", options.passwordVariable, "the variable is not set");
  if (host::kWindows) {
    tool_ = FindOnPath("signtool.exe");
    if (tool_.empty())
      findings.Error("signtool.exe", "",
                     "is not on the PATH: signing needs the Windows SDK's signtool.exe; add its folder "
                     "(such as C:\\Program Files (x86)\\Windows Kits\\10\\bin\\<version>\\x64) to the PATH");
  } else {
    tool_ = FindOnPath("osslsigncode");
    openssl_ = FindOnPath("openssl");
    if (tool_.empty())
      findings.Error("osslsigncode", "", "is not on the PATH: signing needs it (Debian package osslsigncode)");
    if (openssl_.empty())
      findings.Error("openssl", "", "is not on the PATH: signing needs it (Debian package openssl)");
  }
  work_ = std::make_unique<host::PrivateFolder>();
  if (work_->Path().empty()) findings.InputOutputError("temporary folder", "", "cannot be made");
}

bool Signer::RunTool(const std::vector<std::string>& command, std::string& problem) {
  std::string output;
  const int code = host::Run(command, output);
  if (code == 0) return true;
  problem = FileName(command[0]) + (code < 0 ? " could not be started" : " failed: " + Trimmed(output));
  return false;
}

bool Signer::Sign(const std::string& name, std::string& bytes, std::string& problem) {
  const std::string in = InFolder(work_->Path(), "unsigned-" + name), out = InFolder(work_->Path(), name);
  if (!WriteWhole(host::kWindows ? out : in, bytes)) {
    problem = "the program could not be copied for signing";
    return false;
  }
  if (!(host::kWindows ? SignWithSigntool(out, problem) : SignWithOsslsigncode(in, out, problem))) return false;
  const auto signedBytes = ReadWhole(out);
  if (!signedBytes) {
    problem = "the signed program could not be read back";
    return false;
  }
  bytes = *signedBytes;
  return true;
}

bool Signer::SignWithOsslsigncode(const std::string& in, const std::string& out, std::string& problem) {
  PasswordFile password(work_->Path(), password_);
  if (!password.Written()) {
    problem = "the password could not be handed to osslsigncode";
    return false;
  }
  std::vector<std::string> command{tool_,       "sign",          "-pkcs12", options_.pkcs12,
                                   "-readpass", password.Path(), "-h",      "sha256"};
  if (!options_.timestampUrl.empty())
    command.insert(command.end(), {"-ts", options_.timestampUrl});
  else if (options_.signingTime)
    command.insert(command.end(), {"-time", std::to_string(*options_.signingTime)});
  command.insert(command.end(), {"-in", in, "-out", out});
  if (!RunTool(command, problem)) return false;
  return !certificates_.empty() || WriteCertificates(password.Path(), problem);
}

// The check trusts the certificates of the PKCS #12 file and the system's authorities.
bool Signer::WriteCertificates(const std::string& passwordFile, std::string& problem) {
  const std::string file = InFolder(work_->Path(), "certificates.pem");
  if (!RunTool({openssl_, "pkcs12", "-in", options_.pkcs12, "-nokeys", "-passin", "file:" + passwordFile, "-out", file},
               problem))
    return false;
  const std::string own = ReadWhole(file).value_or("");
  if (!WriteWhole(file, own + ReadWhole(kSystemCertificates).value_or(""))) {
    problem = "the certificates could not be written for the check";
    return false;
  }
  certificates_ = file;
  return true;
}

// signtool takes the password on its command line only.
bool Signer::SignWithSigntool(const std::string& file, std::string& problem) {
  std::vector<std::string> command{tool_, "sign", "/fd", "sha256", "/f", options_.pkcs12, "/p", password_};
  if (!options_.timestampUrl.empty()) command.insert(command.end(), {"/tr", options_.timestampUrl, "/td", "sha256"});
  command.push_back(file);
  return RunTool(command, problem);
}

bool Signer::Verify(const std::string& path, std::string& problem) {
  if (host::kWindows) return RunTool({tool_, "verify", "/pa", path}, problem);
  return RunTool({tool_, "verify", "-CAfile", certificates_, "-in", path}, problem);
}

}  // namespace medium
