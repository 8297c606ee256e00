// The tray controller over the real profile file (QSettings) in a temporary XDG_CONFIG_HOME of the
// test's own. A test makes the profile with MakeProfile(), after SetUp has pointed XDG_CONFIG_HOME there;
// the profile outlives TearDown, which the controller's end may still write to.
#pragma once

#include "platform/qt/QtProfile.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TrayFixture.h"

#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <string>

class ProfileFileTrayFixture : public TrayFixture {
protected:
    void SetUp() override {
        TrayFixture::SetUp();
        // No test ever reads or writes the user's real profile.
        m_configHome.emplace();
        m_configHome->Set("XDG_CONFIG_HOME", ConfigHome());
    }
    void TearDown() override {
        TrayFixture::TearDown();
        m_configHome.reset();
    }

    std::string ConfigHome() const { return m_config.path().toStdString(); }
    CQtProfile& MakeProfile() {
        m_pProfile = std::make_unique<CQtProfile>();
        return *m_pProfile;
    }

private:
    QTemporaryDir m_config;
    std::optional<CScopedEnv> m_configHome;
    std::unique_ptr<CQtProfile> m_pProfile;
};
