#include "app/AboutPanel.h"

#include "app/QtProgramIcon.h"
#include "controls/NamedWidget.h"
#include "lang/StringLookup.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace app {

using controls::named;

namespace {

constexpr QSize kPanelSize(620, 300);
constexpr int kPictureSize = 96;

} // namespace

AboutPanel::AboutPanel(const QString& webSite, QWidget* parent) : controls::FramePanel(parent)
{
    setObjectName(QStringLiteral("frAbout"));
    setFixedSize(kPanelSize);
    hide();

    Image1 = named<QLabel>(this, "Image1");
    Image1->setPixmap(programIconPixmap(kPictureSize, devicePixelRatioF()));
    Image1->setFixedSize(kPictureSize, kPictureSize);

    lblProductName = named<QLabel>(this, "Label38");
    QFont nameFont = lblProductName->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.6);
    lblProductName->setFont(nameFont);
    lblVer = named<QLabel>(this, "lblVer");
    lblVer->setText(versionText(QStringLiteral(TONEMILL_VERSION)));
    lblMaker = named<QLabel>(this, "Label37");
    lblMaker->setText(QStringLiteral("Korvane"));
    lblAboutText = named<QLabel>(this, "Label39");
    lblAboutText->setWordWrap(true);
    lblAboutText->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblCopyright = named<QLabel>(this, "Label40");
    lblCopyright->setText(QStringLiteral("\u00A9 2026 \u00B7 GPL-3.0-or-later"));
    lblCopyright->setToolTip(QStringLiteral("GNU General Public License, version 3 or later"));
    lblWebSite = named<QLabel>(this, "lblWebSite");
    // A web address shows its host; a file (the README) its name.
    const QUrl address = QUrl::fromUserInput(webSite);
    lblWebSite->setText(address.isLocalFile()      ? address.fileName()
                        : address.host().isEmpty() ? webSite
                                                   : address.host());
    lblWebSite->setToolTip(webSite);
    QFont linkFont = lblWebSite->font();
    linkFont.setUnderline(true);
    lblWebSite->setFont(linkFont);
    lblWebSite->setCursor(Qt::PointingHandCursor);
    lblWebSite->installEventFilter(this);

    cmdCloseHelp = named<QPushButton>(this, "cmdCloseHelp");

    auto* name = new QHBoxLayout;
    name->addWidget(lblProductName);
    name->addWidget(lblVer, 0, Qt::AlignBottom);
    name->addStretch();

    auto* site = new QHBoxLayout;
    site->addWidget(lblCopyright);
    site->addWidget(lblWebSite);
    site->addStretch();

    auto* text = new QVBoxLayout;
    text->addLayout(name);
    text->addWidget(lblMaker);
    text->addSpacing(6);
    text->addWidget(lblAboutText, 1);
    text->addLayout(site);

    auto* body = new QHBoxLayout;
    body->addWidget(Image1, 0, Qt::AlignTop);
    body->addSpacing(12);
    body->addLayout(text, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCloseHelp);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    applyCaptions();
}

void AboutPanel::applyCaptions()
{
    setText(lang::caption(lang::StringId::AboutTitle));
    lblProductName->setText(lang::caption(lang::StringId::ProductName));
    lblAboutText->setText(lang::caption(lang::StringId::AboutText));
    cmdCloseHelp->setText(lang::caption(lang::StringId::CloseHelp));
}

QString AboutPanel::versionText(const QString& version)
{
    const QStringList parts = version.split(u'.');
    const auto part = [&parts](int i) { return i < parts.size() ? parts.at(i) : QStringLiteral("0"); };
    return part(0) + u'.' + part(1) + QStringLiteral(".0.") + part(2);
}

bool AboutPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lblWebSite && event->type() == QEvent::MouseButtonRelease) {
        auto* release = static_cast<QMouseEvent*>(event);
        if (release->button() == Qt::LeftButton && lblWebSite->rect().contains(release->position().toPoint()))
            Q_EMIT webSiteClicked();
        return true;
    }
    return controls::FramePanel::eventFilter(watched, event);
}

} // namespace app
