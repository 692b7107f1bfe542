#pragma once

#include "convert/ConversionBatch.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;

namespace convert {

//! The conversion controls of the main panel: `cmdConvert`,
//! `cmdConvertSelected` and `chkShutdown`, showing and driving the batch's
//! state; on a line of its own above them, while a batch runs, how far it
//! has come ("12 of 40", time left), refreshed twice a second, and once it
//! has ended how it went ("12 converted, 1 failed · Open output folder").
//! The window places it; the batch must outlive it.
//!
//! Each convert button is as wide as the wider of its two captions ("Stop"
//! and its own), so it keeps its place and size when a batch starts or
//! ends. A line too long for the panel is shortened at its end, with the
//! whole line as its tooltip; the link to the folder always stays whole.
class ConvertPanel : public QWidget {
    Q_OBJECT
public:
    explicit ConvertPanel(ConversionBatch& batch, QWidget* parent = nullptr);

    //! Sets the localized texts (also the batch's captions).
    void applyCaptions();
    //! Shows how a batch went (the last one's, when it has ended).
    void showSummary(const ConversionBatch::Summary& summary);

    QPushButton* cmdConvert = nullptr;
    QPushButton* cmdConvertSelected = nullptr;
    QCheckBox* chkShutdown = nullptr;
    QLabel* lblBatchProgress = nullptr;

    //! The folder to open for outputs that went to `folders`: the one, or
    //! the folder that holds them all; empty when only the root of the file
    //! system does (each is then offered).
    static QString folderToOpen(const QStringList& folders);

Q_SIGNALS:
    //! The user asked to see the folder the last batch's outputs went to.
    void openOutputFolderRequested(const QString& folder);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showProgress();
    //! Shows `line`, and the link to the output folder after it when
    //! `linked`, shortened to the label's width.
    void showLine(const QString& line, bool linked);
    void openOutputFolder();

    QTimer* m_progressTimer = nullptr;
    ConversionBatch& m_batch;
    QString m_line;
    QStringList m_outputFolders; // of the summary shown
    bool m_linked = false;
};

} // namespace convert
