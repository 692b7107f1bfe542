#include "options/WmaOptionsView.h"

#include "controls/SliderWidget.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "options/QtOptionBinding.h"
#include "options/WmaNoticeView.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace options {

namespace {

// The label of each tag box, by box index, with its name in the window.
// and the field's name that the box shows while it is empty.
struct TagLabel {
    const char* name;
    lang::StringId text;
    lang::StringId placeholder;
};
constexpr TagLabel kTagLabels[8] = {
    {"Label12", lang::StringId::TagTitle, lang::StringId::PlaceholderTitle},
    {"Label16", lang::StringId::TagArtist, lang::StringId::PlaceholderArtist},
    {"Label13", lang::StringId::TagAlbumTitle, lang::StringId::PlaceholderAlbumTitle},
    {"Label17", lang::StringId::TagDescription, lang::StringId::PlaceholderDescription},
    {"Label14", lang::StringId::TagRating, lang::StringId::PlaceholderRating},
    {"Label18", lang::StringId::TagCopyright, lang::StringId::PlaceholderCopyright},
    {"Label15", lang::StringId::TagGenre, lang::StringId::PlaceholderGenre},
    {"Label19", lang::StringId::TagYear, lang::StringId::PlaceholderYear},
};

QLabel* namedLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

WmaOptionsView::WmaOptionsView(FormatOptions& options, QWidget* parent) : controls::FramePanel(parent)
{
    setObjectName(QStringLiteral("frFormat_1"));

    auto* controlsPage = new QWidget(this);
    lblQuality = namedLabel(controlsPage, "Label11");
    lblQualityLow = namedLabel(controlsPage, "Label20");
    lblQualityHigh = namedLabel(controlsPage, "Label21");
    sliderWMA = new controls::SliderWidget(controlsPage);
    sliderWMA->setObjectName(QStringLiteral("sliderWMA"));
    sliderWMA->setMinimumWidth(120); // gives way to long end texts
    lblWMAQuality = namedLabel(controlsPage, "lblWMAQuality");
    lblWMAQuality->setMinimumWidth(30);
    chkWMAFileTags = new QCheckBox(controlsPage);
    chkWMAFileTags->setObjectName(QStringLiteral("chkWMAFileTags"));

    auto* quality = new QHBoxLayout;
    quality->addWidget(lblQuality);
    quality->addWidget(lblQualityLow);
    quality->addWidget(sliderWMA, 1);
    quality->addWidget(lblQualityHigh);
    quality->addWidget(lblWMAQuality);

    // Two columns, labels to the left of their boxes: even boxes on the left
    // (Title, Album Title, Rating, Genre), odd ones on the right.
    auto* tags = new QGridLayout;
    for (int i = 0; i < FormatOptions::kTagCount; ++i) {
        m_tagLabels[i] = namedLabel(controlsPage, kTagLabels[i].name);
        txtWMATags[i] = new QLineEdit(controlsPage);
        txtWMATags[i]->setObjectName(QStringLiteral("txtWMATags_%1").arg(i));
        const int row = i / 2;
        const int column = (i % 2) * 2;
        tags->addWidget(m_tagLabels[i], row, column);
        tags->addWidget(txtWMATags[i], row, column + 1);
        m_tagLabels[i]->setBuddy(txtWMATags[i]); // each box is named by its label
        bind(options.txtWMATags(i), txtWMATags[i]);
    }

    auto* page = new QVBoxLayout(controlsPage);
    page->addLayout(quality);
    page->addWidget(chkWMAFileTags);
    page->addLayout(tags);
    page->addStretch();

    frWmaNotice = new WmaNoticeView(this);

    // The notice shares the page's place and lies over it.
    auto* stack = new QGridLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(controlsPage, 0, 0);
    stack->addWidget(frWmaNotice, 0, 0);
    frWmaNotice->raise();

    lblQuality->setBuddy(sliderWMA);
    bind(options.sliderWMA, sliderWMA);
    bind(options.lblWMAQuality, lblWMAQuality);
    bind(options.chkWMAFileTags, chkWMAFileTags);
    frWmaNotice->setVisible(options.wmaNoticeVisible());
    connect(&options, &FormatOptions::wmaNoticeVisibleChanged, frWmaNotice, &QWidget::setVisible);

    applyCaptions();
}

void WmaOptionsView::applyCaptions()
{
    lblQuality->setText(lang::caption(lang::StringId::EncodingQuality));
    lblQualityLow->setText(lang::caption(lang::StringId::Low));
    lblQualityHigh->setText(lang::caption(lang::StringId::High));
    chkWMAFileTags->setText(lang::caption(lang::StringId::SetWmaTags));
    for (int i = 0; i < FormatOptions::kTagCount; ++i) {
        m_tagLabels[i]->setText(lang::caption(kTagLabels[i].text));
        txtWMATags[i]->setPlaceholderText(lang::caption(kTagLabels[i].placeholder));
    }
    frWmaNotice->applyCaptions();
}

} // namespace options
