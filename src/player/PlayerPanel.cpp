#include "player/PlayerPanel.h"

#include "filelist/GridView.h"
#include "lang/StringLookup.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <algorithm>

namespace player {

PlayerPanel::PlayerPanel(platform::Desktop& desktop, filelist::GridView* grid, QWidget* parent)
    : QWidget(parent), m_grid(grid), m_player(desktop, m_grid)
{
    setObjectName(QStringLiteral("PlayerPanel"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    cmdPlayPrev = makeButton("cmdPlayPrev", &Player::cmdPlayPrev_Click);
    cmdPlay = makeButton("cmdPlay", &Player::cmdPlay_Click);
    cmdPause = makeButton("cmdPause", &Player::cmdPause_Click);
    cmdStop = makeButton("cmdStop", &Player::cmdStop_Click);
    cmdPlayNext = makeButton("cmdPlayNext", &Player::cmdPlayNext_Click);
    for (QPushButton* button : {cmdPlayPrev, cmdPlay, cmdPause, cmdStop, cmdPlayNext})
        layout->addWidget(button);
    layout->addStretch(1);

    connect(&m_player, &Player::pauseCaptionChanged, cmdPause, &QPushButton::setText);
    applyCaptions();
}

QPushButton* PlayerPanel::makeButton(const char* name, void (Player::*click)())
{
    auto* button = new QPushButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setFocusPolicy(Qt::TabFocus);
    connect(button, &QPushButton::clicked, &m_player, click);
    return button;
}

void PlayerPanel::applyCaptions()
{
    using lang::StringId;
    cmdPlayPrev->setText(lang::caption(StringId::PlayPrevious));
    cmdPlay->setText(lang::caption(StringId::Play));
    cmdStop->setText(lang::caption(StringId::Stop));
    cmdPlayNext->setText(lang::caption(StringId::PlayNext));

    // Wide enough for both of its captions, so the row keeps its place
    // when Pause turns into Resume.
    int width = 0;
    for (const StringId id : {StringId::Pause, StringId::Resume}) {
        cmdPause->setText(lang::caption(id));
        width = std::max(width, cmdPause->sizeHint().width());
    }
    cmdPause->setMinimumWidth(width);
    cmdPause->setText(m_player.pauseCaption());
}

void PlayerPanel::playFromGrid()
{
    if (cmdPlay->isEnabled())
        m_player.cmdPlay_Click();
}

} // namespace player
