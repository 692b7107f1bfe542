#include "player/PlayerPanel.h"

#include "filelist/GridView.h"
#include "filelist/RowWords.h"
#include "lang/StringLookup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace player {

namespace {

// How often the time played is shown anew.
constexpr int kClockMs = 250;

} // namespace

PlayerPanel::PlayerPanel(platform::Desktop& desktop, filelist::GridView* grid, QWidget* parent)
    : QWidget(parent), m_gridView(grid), m_grid(grid), m_player(desktop, m_grid)
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
    lblPlayTime = new QLabel(this);
    lblPlayTime->setObjectName(QStringLiteral("lblPlayTime"));
    // Room for the longest time, so the row does not shift as it counts.
    lblPlayTime->setMinimumWidth(lblPlayTime->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00 / 00:00:00")));
    layout->addSpacing(8);
    layout->addWidget(lblPlayTime);
    layout->addStretch(1);

    m_clock = new QTimer(this);
    m_clock->setInterval(kClockMs);
    connect(m_clock, &QTimer::timeout, this, &PlayerPanel::showPlayTime);
    connect(&m_player, &Player::pauseCaptionChanged, cmdPause, &QPushButton::setText);
    connect(&m_player, &Player::playStateChanged, this, &PlayerPanel::showPlayState);
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

void PlayerPanel::showPlayState()
{
    using Mark = filelist::GridRowHeaderView::Mark;
    const Player::PlayState state = m_player.playState();
    const Mark mark = state == Player::PlayState::Playing  ? Mark::Playing
                      : state == Player::PlayState::Paused ? Mark::Paused
                                                           : Mark::None;
    if (m_gridView)
        m_gridView->setPlayingFile(m_player.sPlayerFile(), mark);
    if (state == Player::PlayState::Playing)
        m_clock->start();
    else
        m_clock->stop();
    showPlayTime();
}

void PlayerPanel::showPlayTime()
{
    if (m_player.playState() == Player::PlayState::Idle) {
        lblPlayTime->clear();
        return;
    }
    lblPlayTime->setText(filelist::words::playingTime(m_player.elapsedSeconds()) + QStringLiteral(" / ") +
                         filelist::words::playingTime(m_player.lengthSeconds()));
}

bool PlayerPanel::takesRequests() const
{
    return cmdPlay->isEnabled();
}

void PlayerPanel::requestPlay()
{
    if (!takesRequests())
        return;
    switch (m_player.playState()) {
    case Player::PlayState::Playing:
        return;
    case Player::PlayState::Paused:
        m_player.cmdPause_Click();
        return;
    case Player::PlayState::Idle:
        break;
    }
    // Nothing chosen in the grid: the row played last, else the first.
    if (m_grid.selectedCellRows().isEmpty() && m_grid.activeCell().row < 0 && m_grid.rowCount() > 0) {
        int row = 0;
        for (int i = 0; i < m_grid.rowCount(); ++i)
            if (m_grid.filePath(i) == m_player.sPlayerFile())
                row = i;
        m_grid.setActiveRow(row);
    }
    m_player.cmdPlay_Click();
}

void PlayerPanel::requestPause()
{
    if (takesRequests() && m_player.playState() == Player::PlayState::Playing)
        m_player.cmdPause_Click();
}

void PlayerPanel::requestPlayPause()
{
    if (m_player.playState() == Player::PlayState::Playing)
        requestPause();
    else
        requestPlay();
}

void PlayerPanel::requestStop()
{
    if (takesRequests())
        m_player.cmdStop_Click();
}

void PlayerPanel::requestNext()
{
    if (takesRequests())
        m_player.cmdPlayNext_Click();
}

void PlayerPanel::requestPrevious()
{
    if (takesRequests())
        m_player.cmdPlayPrev_Click();
}

void PlayerPanel::playFromGrid()
{
    if (cmdPlay->isEnabled())
        m_player.cmdPlay_Click();
}

} // namespace player
