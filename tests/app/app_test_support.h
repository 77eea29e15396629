#pragma once
// A private registry file and endpoint directory per test, and the platform
// started around it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app_state.h"
#include "app/startup.h"
#include "platform/constants.h"
#include "platform/clock.h"
#include "platform/message.h"
#include "platform/msgbox.h"
#include "platform/resource.h"
#include "platform/shell.h"
#include "resources/resource_script.h"

// Runs the entry routine and closes the main window from outside (the close
// request) the first time the program is idle. `whileRunning` runs there, on
// the running program.
inline int RunOnce(const char16_t* commandLine, const std::function<void()>& whileRunning = {}) {
  bool closed = false;
  pf::SetIdleHandler([&](const pf::IdleRequest&) {
    if (closed) return;
    closed = true;
    if (whileRunning) whileRunning();
    if (App.MainWindow != nullptr) pf::PostMessage(App.MainWindow, pf::kMsgCloseRequest, 0, 0);
  });
  return CorvellaMain(nullptr, nullptr, commandLine, pf::kShowNormal);
}

class AppFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("corvella-app-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ / "run");
    std::filesystem::permissions(dir_ / "run", std::filesystem::perms::owner_all);
    registry_ = (dir_ / "registry.reg").string();
    ::setenv("CORVELLA_REGISTRY", registry_.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (dir_ / "run").c_str(), 1);
    pf::SetLocalDateOverride(pf::LocalDate{2008, 9, 30});  // 1 Tishrei 5769: lesson 1
    pf::SetMessageBoxAnswerer([this](const pf::MessageBoxCall& call) {
      boxes_.push_back(call);
      return answer_;
    });
    InstallProgramResources();
    ASSERT_TRUE(pf::StartPlatform());
  }

  void TearDown() override {
    pf::StopPlatform();
    pf::SetMessageBoxAnswerer({});
    pf::SetLocalDateOverride(std::nullopt);
    SetAllocFailureAt(0);
    std::filesystem::remove_all(dir_);
  }

  std::filesystem::path dir_;
  std::string registry_;
  std::vector<pf::MessageBoxCall> boxes_;
  int answer_ = pf::kIdOk;
};
