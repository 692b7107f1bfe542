#include "options/OutputFolderWidget.h"

#include "controls/NamedWidget.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "options/QtOptionBinding.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace options {

using controls::named;

OutputFolderWidget::OutputFolderWidget(FormatOptions& options, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("OutputFolderWidget"));

    lblOutputFolder = named<QLabel>(this, "Label5");
    optSameFolder = named<QRadioButton>(this, "optSameFolder");
    optOtherFolder = named<QRadioButton>(this, "optOtherFolder");
    chkKeepTree = named<QCheckBox>(this, "chkKeepTree");
    txtOutPath = named<QLineEdit>(this, "txtOutPath");
    cmdBrowse = named<QPushButton>(this, "cmdBrowse");
    lblOutputFormat = named<QLabel>(this, "Label8");
    lblFormat = named<QLabel>(this, "lblFormat");
    cmdChangeFormat = named<QPushButton>(this, "cmdChangeFormat");

    auto* folder = new QHBoxLayout;
    folder->addWidget(optSameFolder);
    folder->addWidget(optOtherFolder);
    folder->addStretch();

    auto* path = new QHBoxLayout;
    path->addWidget(txtOutPath, 1);
    path->addWidget(cmdBrowse);

    // The summary's two lines: the format, then what else decides the outputs.
    lblFormat->setWordWrap(true);
    auto* format = new QHBoxLayout;
    format->addWidget(lblFormat, 1);
    format->addWidget(cmdChangeFormat, 0, Qt::AlignBottom);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lblOutputFolder, 0, 0);
    layout->addLayout(folder, 0, 1);
    layout->addLayout(path, 1, 1);
    // Under the path it belongs to: the folder row has no room left for it.
    layout->addWidget(chkKeepTree, 2, 1);
    layout->addWidget(lblOutputFormat, 3, 0, Qt::AlignTop);
    layout->addLayout(format, 3, 1);
    layout->setColumnStretch(1, 1);

    // The path box is named by the caption of its row.
    lblOutputFolder->setBuddy(txtOutPath);

    bind(options.optSameFolder, optSameFolder);
    bind(options.optOtherFolder, optOtherFolder);
    bind(options.chkKeepTree, chkKeepTree);
    bind(options.txtOutPath, txtOutPath);
    bind(options.cmdBrowse, cmdBrowse);
    bind(options.lblFormat, lblFormat);
    bind(options.cmdChangeFormat, cmdChangeFormat);

    applyCaptions();
}

void OutputFolderWidget::applyCaptions()
{
    lblOutputFolder->setText(lang::caption(lang::StringId::OutputFolder));
    optSameFolder->setText(lang::caption(lang::StringId::SameFolder));
    optOtherFolder->setText(lang::caption(lang::StringId::OtherFolder));
    chkKeepTree->setText(lang::caption(lang::StringId::KeepTree));
    cmdBrowse->setText(lang::caption(lang::StringId::Browse));
    lblOutputFormat->setText(lang::caption(lang::StringId::OutputFormat));
    cmdChangeFormat->setText(lang::caption(lang::StringId::ChangeFormat));
}

} // namespace options
