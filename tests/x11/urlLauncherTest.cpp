// Opening the home page: xdg-open (or sensible-browser without it) is
// started without a shell, gets the address as one argument and is
// collected afterwards; with neither, standard error names the address.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/x11/UrlLauncher.h"
#include "StderrCapture.h"

namespace {

class UrlLauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "tq-x11-url-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        standIn(folder, "xdg-open");
        const char* path = std::getenv("PATH");
        oldPath = path ? path : "";
        setenv("PATH", (folder + ":" + oldPath).c_str(), 1);
    }
    // A stand-in opener in `dir` that writes its name and arguments down.
    void standIn(const std::string& dir, const std::string& name) {
        const std::string script = dir + "/" + name;
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' " << name << " \"$#\" \"$1\" > \""
                              << folder << "/args.tmp\"\n/bin/mv \"" << folder << "/args.tmp\" \""
                              << folder << "/args\"\n";
        chmod(script.c_str(), 0755);
    }
    void TearDown() override {
        setenv("PATH", oldPath.c_str(), 1);
        std::filesystem::remove_all(folder);
    }
    std::string waitForArguments() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) {
            std::ifstream in(folder + "/args");
            if (in) {
                std::stringstream text;
                text << in.rdbuf();
                return text.str();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::string();
    }

    std::string folder;
    std::string oldPath;
};

TEST_F(UrlLauncherTest, AddressReachesXdgOpenAsOneUninterpretedArgument) {
    const std::string url = "https://example.com/a b?x=1&y=$(touch " + folder + "/pwned);`id`";
    ASSERT_EQ(UrlLauncher::open(url.c_str()), platform::Status::ok);
    EXPECT_EQ(waitForArguments(), "xdg-open\n1\n" + url + "\n");
    struct stat info {};
    EXPECT_NE(stat((folder + "/pwned").c_str(), &info), 0) << "a shell ran the address";

    // The launcher collects its finished child: none is left, not even a
    // zombie. Looking is done without collecting (WNOWAIT).
    auto childrenLeft = [] {
        siginfo_t info{};
        return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == 0;
    };
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (childrenLeft() && std::chrono::steady_clock::now() < end) {
        UrlLauncher::reap();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(childrenLeft());
}

TEST_F(UrlLauncherTest, RefusesAnEmptyAddressAndReportsAMissingProgram) {
    EXPECT_EQ(UrlLauncher::open(nullptr), platform::Status::invalidArgument);
    EXPECT_EQ(UrlLauncher::open(""), platform::Status::invalidArgument);
    setenv("PATH", "/nonexistent", 1);
    {
        StderrCapture err;
        EXPECT_EQ(UrlLauncher::open("https://example.com/"), platform::Status::notFound);
        EXPECT_NE(err.text().find("the page is https://example.com/\n"), std::string::npos)
            << err.text();
    }
    // Without xdg-utils, Debian's sensible-browser opens it.
    const std::string other = folder + "/other";
    std::filesystem::create_directory(other);
    standIn(other, "sensible-browser");
    setenv("PATH", other.c_str(), 1);
    EXPECT_EQ(UrlLauncher::open("https://example.com/"), platform::Status::ok);
    EXPECT_EQ(waitForArguments(), "sensible-browser\n1\nhttps://example.com/\n");
    UrlLauncher::reap();
}

} // namespace
