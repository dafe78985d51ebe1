#include "zip_error.h"

#include <string>

namespace zipfmt {

ZipError::ZipError(int id)
    : std::runtime_error("archive message " + std::to_string(id)), id_(id), hasNumber_(false), number_(0) {}

ZipError::ZipError(int id, int number)
    : std::runtime_error("archive message " + std::to_string(id) + " (" + std::to_string(number) + ")"),
      id_(id),
      hasNumber_(true),
      number_(number) {}

}  // namespace zipfmt
