#include "qtdialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace skedra {

FontChoice fontChoiceOf(const QFont &font)
{
    FontChoice choice;
    choice.name = font.family();
    choice.size = font.pointSizeF();
    choice.bold = font.bold();
    choice.italic = font.italic();
    return choice;
}

QFont withFontChoice(QFont base, const FontChoice &choice)
{
    if (!choice.name.isEmpty())
        base.setFamily(choice.name);
    if (choice.size > 0)
        base.setPointSizeF(choice.size);
    base.setBold(choice.bold);
    base.setItalic(choice.italic);
    return base;
}

QtDialogs::QtDialogs(QWidget *owner)
    : m_owner(owner)
{
}

Answer QtDialogs::message(const QString &title, const QString &text, MessageIcon icon,
                          MessageButtons buttons)
{
    // Over the dialog that asks (the entry editor), else over the owner.
    QWidget *modal = QApplication::activeModalWidget();
    QMessageBox box(modal ? modal : m_owner);
    box.setWindowTitle(title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    const int result = box.exec();
    switch (result) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Cancel: return Answer::Cancel;
    default:
        if (buttons == MessageButtons::YesNoCancel)
            return Answer::Cancel;
        return buttons == MessageButtons::YesNo ? Answer::No : Answer::Ok;
    }
}

QString QtDialogs::openFile(const QString &title, const QString &filter)
{
    // Qt's own dialog, with filters matched in any case: the handsets name
    // their files "*.mmf.HUF", a copy on the PC may be "*.mmf.huf".
    QWidget *modal = QApplication::activeModalWidget();
    QFileDialog dialog(modal ? modal : m_owner, title, fileFolder, filter);
    dialog.setObjectName(QStringLiteral("dlgOpen"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::saveFile(const QString &title, const QString &filter)
{
    // The caller asks before overwriting, and uses the name as typed.
    return QFileDialog::getSaveFileName(m_owner, title, fileFolder, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtDialogs::selectFolder(const QString &title)
{
    return QFileDialog::getExistingDirectory(m_owner, title, fileFolder, QFileDialog::ShowDirsOnly);
}

std::optional<FontChoice> QtDialogs::font(const FontChoice &current)
{
    // Preset to the font the grid really draws with (a family the system
    // lacks is shown as the one that stands in for it), with Japanese
    // sample text, since the grid shows Japanese.
    QFont initial = withFontChoice(QFont(), current);
    const QFontInfo drawn(initial);
    initial.setFamily(drawn.family());
    initial.setStyleName(drawn.styleName());
    QFontDialog dialog(initial, m_owner);
    dialog.setObjectName(QStringLiteral("dlgFont"));
    dialog.setCurrentFont(initial);
    for (auto *box : dialog.findChildren<QGroupBox *>()) {
        if (auto *sample = box->findChild<QLineEdit *>()) {
            sample->setText(FontSampleText);
            sample->setCursorPosition(0);
        }
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return fontChoiceOf(dialog.selectedFont());
}

std::optional<print::PrintChoice> QtDialogs::printChoice(const QString &title, const print::PrintChoice &preset,
                                                         const QString &monthCaption, bool rowsSelected)
{
    using print::Subject;
    // Over the window the user works in (the calendar hides the list).
    QWidget *owner = QApplication::activeWindow() ? QApplication::activeWindow() : m_owner;
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("dlgPrintChoice"));
    dialog.setWindowTitle(title);
    auto *layout = new QVBoxLayout(&dialog);
    auto *what = new QGroupBox(QStringLiteral("印刷する内容"), &dialog);
    auto *whatLayout = new QVBoxLayout(what);
    auto *month = new QRadioButton(QStringLiteral("月間カレンダー（%1）(&M)").arg(monthCaption), what);
    month->setObjectName(QStringLiteral("optMonth"));
    auto *allRows = new QRadioButton(QStringLiteral("一覧：すべての予定(&A)"), what);
    allRows->setObjectName(QStringLiteral("optAllRows"));
    auto *selectedRows = new QRadioButton(QStringLiteral("一覧：選択した行(&S)"), what);
    selectedRows->setObjectName(QStringLiteral("optSelectedRows"));
    selectedRows->setEnabled(rowsSelected);
    for (QRadioButton *option : {month, allRows, selectedRows})
        whatLayout->addWidget(option);
    layout->addWidget(what);

    auto *orientationLabel = new QLabel(QStringLiteral("一覧の用紙の向き(&O):"), &dialog);
    auto *orientation = new QComboBox(&dialog);
    orientation->setObjectName(QStringLiteral("cmbOrientation"));
    orientation->addItem(QStringLiteral("A4 縦"), int(QPageLayout::Portrait));
    orientation->addItem(QStringLiteral("A4 横"), int(QPageLayout::Landscape));
    orientationLabel->setBuddy(orientation);
    auto *orientationRow = new QHBoxLayout;
    orientationRow->addWidget(orientationLabel);
    orientationRow->addWidget(orientation, 1);
    layout->addLayout(orientationRow);
    layout->addWidget(new QLabel(QStringLiteral("月間カレンダーはA4 横で印刷します。"), &dialog));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);

    switch (preset.subject) {
    case Subject::Month: month->setChecked(true); break;
    case Subject::AllRows: allRows->setChecked(true); break;
    case Subject::SelectedRows: (rowsSelected ? selectedRows : allRows)->setChecked(true); break;
    }
    orientation->setCurrentIndex(preset.subject != Subject::Month && preset.orientation == QPageLayout::Landscape);
    auto follow = [=] { orientation->setEnabled(!month->isChecked()); };
    QObject::connect(month, &QRadioButton::toggled, &dialog, follow);
    follow();

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    print::PrintChoice choice;
    choice.subject = month->isChecked() ? Subject::Month
                   : selectedRows->isChecked() ? Subject::SelectedRows
                                               : Subject::AllRows;
    choice.orientation = choice.subject == Subject::Month
                             ? QPageLayout::Landscape
                             : QPageLayout::Orientation(orientation->currentData().toInt());
    return choice;
}

} // namespace skedra
