// Locate-archive prompt, shown modally when Setup.zip is missing beside the setup program:
// the user picks the folder that holds it, which becomes the setup source folder.
#pragma once

#include "form.h"

#include <string>

class TForm8 : public forms::Form {
 public:
  TForm8();

  forms::DirectoryListBox& DirectoryListBox1() const { return Get<forms::DirectoryListBox>("DirectoryListBox1"); }

 private:
  void Button1Click();
  void Button2Click();
};

// The folder as a path prefix: a drive root such as "M:\" already ends in a backslash and
// keeps its one; any other folder gets one appended.
std::string ArchiveFolder(const std::string& folder);

extern TForm8* Form8;
