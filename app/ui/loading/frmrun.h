// The loading notice shown while a file is read.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;

namespace skedra {

class frmRun : public QDialog {
    Q_OBJECT
public:
    explicit frmRun(QWidget *parent = nullptr);

    // objectsSeen of objectsTotal calendar objects read so far.
    void setProgress(int objectsSeen, int objectsTotal);

private:
    QLabel *m_message;
    QProgressBar *m_progress;
    QLabel *m_percent;
    QLabel *m_count;
    int m_shownPercent = -1;
    QElapsedTimer m_sincePaint;
};

// The notice's progress as the reader reports it: the integer part of
// seen / total x 100 (0 when the total is 0).
int progressPercent(int objectsSeen, int objectsTotal);

} // namespace skedra
