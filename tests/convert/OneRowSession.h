#pragma once

// What the tests of one conversion function share: a session over a file
// list of one waiting row, in a folder of their own, with the engine's format
// modules loaded.

#include "convert/ConversionSession.h"
#include "engine/AudioEngine.h"
#include "filelist/FileList.h"
#include "options/FormatOptions.h"
#include "support/ScriptedDesktop.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace sessiontest {

//! A derived SetUp calls this one first and returns when HasFatalFailure().
class OneRowSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        engine::LoadFormatModules();
        list = std::make_unique<filelist::FileList>();
        filelist::FileListRow row;
        row.path = QStringLiteral("input");
        ASSERT_TRUE(list->append(row));
        session.setCurrentRow(0);
        state.bConverting = true;
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QString status() const { return list->cell(0, filelist::FileList::Status).toString(); }
    std::optional<quint32> color() const { return list->textColor(0, filelist::FileList::Status); }

    QTemporaryDir dir;
    testsupport::ScriptedDesktop desktop;
    convert::ConversionState state;
    options::FormatOptions options;
    std::unique_ptr<filelist::FileList> list;
    convert::ConversionSession session{desktop, state, options, [this] { return list.get(); }};
};

} // namespace sessiontest
