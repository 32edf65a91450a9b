#pragma once

// A test of `tonvik calls`: a data folder of its own inside a temporary
// folder, the files it imports written there, and where the personal list
// then lies.
#include "tests/support/ListFileSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace tonvik {

class CallsFixture : public ::testing::Test {
protected:
    // The temporary folder is named after folderPrefix and the test.
    explicit CallsFixture(const std::string& folderPrefix) : Temp(folderPrefix) {}

    void SetUp() override {
        Data = std::make_unique<DataHomeScope>((Temp.Folder() / "data").string());
    }

    // A file of these bytes in the temporary folder; its path.
    std::string File(const std::string& name, const std::string& bytes) const {
        PutFile(Temp.Folder() / name, bytes);
        return (Temp.Folder() / name).string();
    }

    TempFolder Temp;
    std::unique_ptr<DataHomeScope> Data;
    std::filesystem::path Personal = Temp.Folder() / "data/tonvik/master.ped";
};

} // namespace tonvik
