// For in-process tests of the setup's forms: the eight forms, created as the program creates
// them before the first test and destroyed after the last.
#pragma once

#include "handle.h"
#include "setup_forms.h"

#include <gtest/gtest.h>

#include <memory>

class FormsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    com_ = std::make_unique<platform::ComApartment>();
    InitApplication();
    forms_ = std::make_unique<SetupForms>();
  }
  void TearDown() override {
    forms_.reset();
    com_.reset();
  }

 private:
  std::unique_ptr<platform::ComApartment> com_;
  std::unique_ptr<SetupForms> forms_;
};

inline const auto* const kFormsEnvironment = ::testing::AddGlobalTestEnvironment(new FormsEnvironment);
