#pragma once

#include <QWidget>

class ConversionBatch;
class QCheckBox;
class QPushButton;

//! The conversion controls of the main panel: `cmdConvert`,
//! `cmdConvertSelected` and `chkShutdown`, showing and driving the batch's
//! state. The window places it; the batch must outlive it.
class ConvertPanel : public QWidget {
    Q_OBJECT
public:
    explicit ConvertPanel(ConversionBatch& batch, QWidget* parent = nullptr);

    //! Sets the localized texts (also the batch's captions).
    void applyCaptions();

    QPushButton* cmdConvert = nullptr;
    QPushButton* cmdConvertSelected = nullptr;
    QCheckBox* chkShutdown = nullptr;

private:
    ConversionBatch& m_batch;
};
