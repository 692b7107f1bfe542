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
//! state, and while a batch runs how far it has come ("12 of 40", time
//! left), refreshed twice a second. The window places it; the batch must
//! outlive it.
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

private:
    void showProgress();

    QTimer* m_progressTimer = nullptr;
    ConversionBatch& m_batch;
};

} // namespace convert
