#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace testsupport {

//! A folder of inputs made once for a whole test suite (making them is the
//! slow part) and removed after it: opened in SetUpTestSuite, closed in
//! TearDownTestSuite, and copied from by the tests.
class SuiteMedia {
public:
    //! Makes the folder anew; false when it could not be made.
    bool open();

    //! Removes the folder and what it holds.
    void close();

    //! The path of `name` inside the folder.
    QString filePath(const QString& name) const;

    //! Copies `name` from the folder to `to`, making `to`'s folder when
    //! missing; false when that failed.
    bool copy(const QString& name, const QString& to) const;

private:
    std::unique_ptr<QTemporaryDir> m_folder;
};

} // namespace testsupport
