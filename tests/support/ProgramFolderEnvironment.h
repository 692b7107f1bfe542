#pragma once

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace testsupport {

//! Gives every window of a test program its own program folder (settings
//! store, probe file; with `withLanguages`, a copy of the built Lang/) and its
//! own per-user configuration (the language choice).
class ProgramFolderEnvironment : public ::testing::Environment {
public:
    explicit ProgramFolderEnvironment(bool withLanguages = false) : m_withLanguages(withLanguages) {}
    void SetUp() override;
    QString home() const { return m_home.path(); }

private:
    bool m_withLanguages;
    QTemporaryDir m_home;
    QTemporaryDir m_config;
};

} // namespace testsupport
