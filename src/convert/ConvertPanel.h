#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;

namespace convert {

class ConversionBatch;

//! The conversion controls of the main panel: `cmdConvert`,
//! `cmdConvertSelected` and `chkShutdown`, showing and driving the batch's
//! state; while a batch runs how far it has come ("12 of 40", time left),
//! refreshed twice a second, and once it has ended how it went ("12
//! converted, 1 failed · Open output folder"). The window places it; the
//! batch must outlive it.
class ConvertPanel : public QWidget {
    Q_OBJECT
public:
    explicit ConvertPanel(ConversionBatch& batch, QWidget* parent = nullptr);

    //! Sets the localized texts (also the batch's captions).
    void applyCaptions();

    QPushButton* cmdConvert = nullptr;
    QPushButton* cmdConvertSelected = nullptr;
    QCheckBox* chkShutdown = nullptr;
    QLabel* lblBatchProgress = nullptr;

Q_SIGNALS:
    //! The user asked to see the folder the last batch's outputs went to.
    void openOutputFolderRequested(const QString& folder);

private:
    void showProgress();
    void showSummary();

    QTimer* m_progressTimer = nullptr;
    ConversionBatch& m_batch;
};

} // namespace convert
