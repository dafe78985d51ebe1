// The program's eight forms, created in their order and destroyed in reverse. TForm1, the
// first one created, is the main form.
#pragma once

#include "form.h"

#include <memory>
#include <vector>

// Common controls and the application title, once at start.
void InitApplication();

class SetupForms {
 public:
  SetupForms();
  ~SetupForms();
  SetupForms(const SetupForms&) = delete;
  SetupForms& operator=(const SetupForms&) = delete;

 private:
  template <typename T>
  void Create(T*& instance);

  std::vector<std::unique_ptr<forms::Form>> forms_;
};
