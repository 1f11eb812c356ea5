#pragma once
// A suite folder for the message tests: the launcher's paths point into it,
// ERP\OUT\ exists, and the client code is known.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/shared_state.h"
#include "messages/messages.h"
#include "shell/startup_rules.h"
#include "support/temp_dir.h"

namespace velmora::messages {

inline constexpr int32_t kClientCode = 4711;

class MessageFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(suite_.path() / "ERP" / "OUT");
    const shell::AppPaths paths = shell::BuildAppPaths(suite_.path().string() + "\\ERP\\");
    MessagesSetup setup;
    setup.instance = GetModuleHandleA(nullptr);
    setup.inboxFile = paths.inboxFile;
    setup.outgoingFolder = paths.outgoingFolder;
    ConfigureMessages(setup);
    Shared().clientCode = kClientCode;
  }
  std::filesystem::path Out() const { return suite_.path() / "ERP" / "OUT"; }
  std::filesystem::path Inbox() const { return ConfiguredMessagesSetup().inboxFile; }
  std::string InboxBytes() const {
    return std::filesystem::exists(Inbox()) ? testing::ReadFileBytes(Inbox()) : "";
  }

  testing::TempDir suite_;
};

}  // namespace velmora::messages
