#pragma once
// Shared set-up of the content tests that run against the program's state:
// a private registry file (a failing allocation runs ShutDown, which writes
// the settings), message boxes answered and recorded instead of shown, and
// the allocation hook turned off afterwards.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/constants.h"
#include "platform/msgbox.h"

class ContentTestBase : public testing::Test {
 protected:
  void SetUp() override {
    const std::string registry = testing::TempDir() + "content_test_registry.reg";
    setenv("CORVELLA_REGISTRY", registry.c_str(), 1);
    pf::SetMessageBoxAnswerer([this](const pf::MessageBoxCall& call) {
      boxes.push_back(call.text);
      return pf::kIdOk;
    });
  }
  void TearDown() override {
    SetAllocFailureAt(0);
    pf::SetMessageBoxAnswerer({});
  }

  std::vector<std::u16string> boxes;  // texts of the message boxes shown
};
