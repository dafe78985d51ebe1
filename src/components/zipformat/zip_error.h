// The failure of reading an archive, its directory or the parts of a set: the id of the
// message that the archive component reports for it (zip_messages.h) and, for texts with a
// "%d", the number that fills it.
#pragma once

#include <stdexcept>

namespace zipfmt {

class ZipError : public std::runtime_error {
 public:
  explicit ZipError(int id);
  ZipError(int id, int number);

  int Id() const { return id_; }
  bool HasNumber() const { return hasNumber_; }
  int Number() const { return number_; }

 private:
  int id_;
  bool hasNumber_;
  int number_;
};

}  // namespace zipfmt
