// Authenticode signatures on the medium's programs, made and checked by the platform's tool
// found on the PATH: osslsigncode (with openssl for the certificates) on Linux, the Windows
// SDK's signtool.exe on Windows.
#pragma once

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "findings.h"
#include "host.h"

namespace medium {

struct SigningOptions {
  std::string pkcs12;            // the certificate and key; empty: nothing is signed
  std::string passwordVariable;  // the environment variable that holds the file's password
  std::string timestampUrl;      // an RFC 3161 time-stamp server; empty: no time stamp
  // Without a time stamp, the time the signatures name (osslsigncode), so that they come
  // out the same on every run.
  std::optional<std::time_t> signingTime;
};

class Signer {
 public:
  // Finds the tools and reads the password; what is missing becomes an error in `findings`.
  Signer(const SigningOptions& options, Findings& findings);
  bool Active() const { return !options_.pkcs12.empty(); }

  // Signs the program `name` whose bytes are `bytes`, in place. False, with the tool's
  // words in `problem`, when it fails.
  bool Sign(const std::string& name, std::string& bytes, std::string& problem);
  // Checks the signature of a signed program on the medium.
  bool Verify(const std::string& path, std::string& problem);

 private:
  bool SignWithOsslsigncode(const std::string& in, const std::string& out, std::string& problem);
  bool SignWithSigntool(const std::string& file, std::string& problem);
  bool WriteCertificates(const std::string& passwordFile, std::string& problem);
  bool RunTool(const std::vector<std::string>& command, std::string& problem);

  SigningOptions options_;
  std::string password_;
  std::string tool_;                           // osslsigncode or signtool.exe, its full path
  std::string openssl_;                        // Linux: reads the certificates out of the PKCS #12 file
  std::unique_ptr<host::PrivateFolder> work_;  // the programs while they are signed
  std::string certificates_;                   // Linux: the file's certificates, trusted by the check
};

// The full path of a program in a folder of the PATH; empty when there is none.
std::string FindOnPath(const std::string& program);

}  // namespace medium
