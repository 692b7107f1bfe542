#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace options {

class FormatOptions;

//! The output folder and format summary controls of the main panel: "Output
//! Folder:" with `optSameFolder`, `optOtherFolder`, `txtOutPath` and
//! `cmdBrowse`, and "Output Format:" with `lblFormat` and `cmdChangeFormat`.
class OutputFolderWidget : public QWidget {
    Q_OBJECT
public:
    OutputFolderWidget(FormatOptions& options, QWidget* parent = nullptr);

    //! Sets the localized texts.
    void applyCaptions();

    QLabel* lblOutputFolder = nullptr;
    QRadioButton* optSameFolder = nullptr;
    QRadioButton* optOtherFolder = nullptr;
    QCheckBox* chkKeepTree = nullptr;
    QLineEdit* txtOutPath = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLabel* lblOutputFormat = nullptr;
    QLabel* lblFormat = nullptr;
    QPushButton* cmdChangeFormat = nullptr;
};

} // namespace options
