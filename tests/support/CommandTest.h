#pragma once

#include "support/TonemillRun.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace testsupport {

//! A fixture for tests of the built program's commands: the program runs in
//! folders of its own (TonemillRun) and starts in the test's own working
//! folder. A derived SetUp calls this one first and returns when
//! HasFatalFailure().
class CommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tonemill.isValid() && work.isValid());
        tonemill.setWorkingFolder(work.path());
    }

    //! The path of `name` in the working folder.
    QString path(const QString& name) const { return work.filePath(name); }

    TonemillRun tonemill;
    QTemporaryDir work;
};

} // namespace testsupport
