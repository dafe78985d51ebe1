// Shorthands of the engine tests: the options that extract every member, and a member entry.
#pragma once

#include "test_zip.h"
#include "unzip_engine.h"

#include <string>

namespace ziptest {

inline unzip::Options AllMembers() {
  unzip::Options o;
  o.dirNames = true;
  o.overwrite = true;
  o.fileSpecs = {"*.*"};
  return o;
}

inline Entry File(const std::string& name, const std::string& data, uint16_t method = kDeflated) {
  Entry e;
  e.name = name;
  e.data = data;
  e.method = method;
  return e;
}

}  // namespace ziptest
