// Fixture of the purchases tests: a scratch data directory with the permanent tables, its
// settings file bound to the engine, helpers that read one value back, and a snapshot of
// every stored file to prove that a refused or failed operation changed nothing.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "../CoreTestSupport.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "tables/Database.h"

namespace tvx::core::purchasestest {

namespace fs = std::filesystem;

class PurchasesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data_ = dir_.path() / "Data";
        fs::create_directories(data_);
        db_ = std::make_unique<tables::Database>(data_, dir_.path());
        db_->setDurable(false);
        CreateMissingTables(*db_);
        settings_ = std::make_unique<Settings>(data_ / "Tvx2010.set", db_.get());
    }

    tables::Database& db() { return *db_; }
    Settings& settings() { return *settings_; }
    std::string table(const char* name) { return QuotedPath(TableFile(*db_, name)); }

    // One value of a statement's first row as display text ("" when there is no row).
    std::string value(const std::string& sql, const tables::Params& params = {}) {
        auto rs = db_->query(sql, params);
        if (rs.empty()) return {};
        return rs.at(0, 0).toString();
    }
    std::string count(const char* tableName) {
        return value("SELECT COUNT(*) FROM " + table(tableName));
    }

    // The bytes of every table and of the settings and list files.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(data_)) {
            const std::string ext = entry.path().extension().string();
            if (ext == ".dbf" || ext == ".set" || ext == ".txt")
                files[entry.path().filename().string()] = testsupport::FileBytes(entry.path());
        }
        return files;
    }

    testsupport::ScratchDir dir_;
    fs::path data_;
    std::unique_ptr<tables::Database> db_;
    std::unique_ptr<Settings> settings_;
};

}  // namespace tvx::core::purchasestest
