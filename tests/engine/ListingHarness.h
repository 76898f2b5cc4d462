// A listing under observation: an archive component whose events and
// message boxes are recorded in one ordered log, so tests can check what
// happened and in which order.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "ZipFixture.h"
#include "engine/EngineErrors.h"
#include "engine/ZipMstr.h"
#include "platform/UiServices.h"

class LoggingUi : public platform::UiServices {
public:
    explicit LoggingUi(std::vector<std::string>& log) : log_(log) {}
    void ShowMessage(const std::string& text) override { log_.push_back("box:" + text); }
    void ProcessMessages() override {}

private:
    std::vector<std::string>& log_;
};

class ListingTest : public ::testing::Test {
protected:
    ListingTest() : ui(log), scope(ui)
    {
        archive.Unattended = true;
        archive.OnDirUpdate = [this](engine::TObject* sender) {
            EXPECT_EQ(sender, &archive);
            log.push_back("dirupdate:" + std::to_string(archive.Entries.size()));
        };
        archive.OnMessage = [this](engine::TObject* sender, std::int32_t code, const std::string& text) {
            EXPECT_EQ(sender, &archive);
            log.push_back("msg:" + std::to_string(code) + ":" + text);
        };
    }

    // Lists `bytes` written to a file; returns the error text, if one left.
    std::string List(const std::string& bytes)
    {
        path = dir.Write("archive.zip", bytes);
        try {
            archive.SetZipFilename(path);
        } catch (const engine::EFileStreamError& e) {
            return e.what();
        }
        return "";
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& e : archive.Entries)
            names.push_back(e->FileName);
        return names;
    }

    std::vector<std::string> log;
    LoggingUi ui;
    platform::ScopedUi scope;
    fixture::TempDir dir;
    std::string path;
    engine::TRezEdidiv archive;
};

using fixture::Stored;
