#include "frmrun.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace skedra {

int progressPercent(int objectsSeen, int objectsTotal)
{
    if (objectsTotal <= 0)
        return 0;
    return static_cast<int>(static_cast<long long>(objectsSeen) * 100 / objectsTotal);
}

frmRun::frmRun(QWidget *parent)
    : QDialog(parent)
    , m_message(new QLabel(this))
    , m_progress(new QProgressBar(this))
    , m_percent(new QLabel(this))
    , m_count(new QLabel(this))
{
    setObjectName(QStringLiteral("frmRun"));
    setWindowTitle(QStringLiteral("読み込み中．．．"));
    m_message->setObjectName(QStringLiteral("lblMessage"));
    m_message->setText(QStringLiteral("読み込み中です．．．\n\nしばらくお待ち下さいm(_ _)m"));
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_percent->setObjectName(QStringLiteral("lblPercent"));
    m_percent->setText(QStringLiteral("0"));
    m_count->setObjectName(QStringLiteral("lblCount"));

    auto *numbers = new QHBoxLayout;
    numbers->addWidget(m_percent);
    numbers->addWidget(new QLabel(QStringLiteral("%"), this));
    numbers->addStretch();
    numbers->addWidget(m_count);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_progress);
    layout->addLayout(numbers);
    setMinimumWidth(320);
}

void frmRun::setProgress(int objectsSeen, int objectsTotal)
{
    const int percent = progressPercent(objectsSeen, objectsTotal);
    m_count->setText(QStringLiteral("%1 / %2").arg(objectsSeen).arg(objectsTotal));
    // Painting is what costs: paint a new percent at most every 40 ms, and
    // the end, not each of up to 500 objects.
    const bool last = objectsSeen == objectsTotal;
    if (percent == m_shownPercent || (!last && m_sincePaint.isValid() && m_sincePaint.elapsed() < 40))
        return;
    m_shownPercent = percent;
    m_sincePaint.start();
    m_progress->setValue(std::clamp(percent, 0, 100));
    m_percent->setText(QString::number(percent));
    repaint();
}

} // namespace skedra
