#include "recording_utility.h"

#include <QDialog>

namespace zorvika {

QStringList RecordingUtility::ShowOpenDialog(QWidget*, const QString& title, const QString& filter, QString& fileName,
                                             qint16&)
{
    openDialogs.push_back({title, fileName, filter, {}});
    if (openAnswers.empty())
        return {};
    QStringList answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

QString RecordingUtility::ShowSaveDialog(QWidget*, const QString& title, const QString& initialName,
                                         const QString& filter, int, const QString& defaultExtension)
{
    saveDialogs.push_back({title, initialName, filter, defaultExtension});
    if (saveAnswers.empty())
        return {};
    QString answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

int RecordingUtility::OpenDocument(const QString& target, int windowStyle)
{
    documents.push_back(target);
    documentStyles.push_back(windowStyle);
    return documentResult;
}

int RecordingUtility::FindWindowByTitle(const QString& title)
{
    findTitles.push_back(title);
    return findWindow ? findWindow(title) : countTopLevelWindows(title);
}

void RecordingUtility::ShowMessage(QWidget*, const QString& text, MessageIcon icon)
{
    messages.push_back({text, icon});
}

bool RecordingUtility::AskQuestion(QWidget*, const QString& text)
{
    questions.push_back(text);
    if (questionAnswers.empty())
        return false;
    const bool yes = questionAnswers.front();
    questionAnswers.pop_front();
    return yes;
}

void RecordingUtility::ShowModal(QDialog& dialog)
{
    ++modalCount;
    dialog.setModal(true);
    dialog.show();
    if (onModal)
        onModal(dialog);
    dialog.close();
}

} // namespace zorvika
