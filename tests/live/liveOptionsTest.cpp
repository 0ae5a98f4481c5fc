#include <gtest/gtest.h>

#include "live/LiveOptions.h"

namespace {

using Action = LiveOptions::Action;

struct Case {
    std::vector<std::string> args;
    Action action;
    std::string clientName;
    std::vector<std::string> connect;
    bool noConnect;
    std::string error; // part of the message, for usage errors
};

TEST(LiveOptionsTest, ReadsTheCommandLine) {
    const Case cases[] = {
        {{}, Action::run, "tq-spectrum-live", {}, false, ""},
        {{"--connect", "system:capture_1", "-c", "a:.*", "--connect=b:out"},
         Action::run,
         "tq-spectrum-live",
         {"system:capture_1", "a:.*", "b:out"},
         false,
         ""},
        {{"--name", "left", "--no-connect"}, Action::run, "left", {}, true, ""},
        {{"-n", "x y", "--name=z"}, Action::run, "z", {}, false, ""},
        {{"--no-connect", "--help", "--bogus"}, Action::help, "tq-spectrum-live", {}, true, ""},
        {{"--version"}, Action::version, "tq-spectrum-live", {}, false, ""},
        {{"--connect"}, Action::usageError, "", {}, false, "--connect needs"},
        {{"--connect="}, Action::usageError, "", {}, false, "--connect needs"},
        {{"--name"}, Action::usageError, "", {}, false, "--name needs"},
        {{"--name="}, Action::usageError, "", {}, false, "--name needs"},
        {{"-c", "a", "--no-connect"}, Action::usageError, "", {}, false, "exclude each other"},
        {{"capture"}, Action::usageError, "", {}, false, "unknown argument 'capture'"},
        {{"--conect", "a"}, Action::usageError, "", {}, false, "unknown argument '--conect'"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& arg : c.args) {
            line += " " + arg;
        }
        SCOPED_TRACE(line);
        const LiveOptions options = LiveOptions::parse(c.args);
        ASSERT_EQ(options.action, c.action) << options.error;
        if (c.action == Action::usageError) {
            EXPECT_NE(options.error.find(c.error), std::string::npos) << options.error;
            continue;
        }
        EXPECT_EQ(options.clientName, c.clientName);
        EXPECT_EQ(options.connect, c.connect);
        EXPECT_EQ(options.noConnect, c.noConnect);
    }
}

} // namespace
