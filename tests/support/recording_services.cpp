#include "recording_services.h"

#include <QDialog>

namespace zorvika {

QString RecordingServices::chooseFileToOpen(QWidget*, const QString& title, const FileTypes& types)
{
    openDialogs.push_back({title, {}, types, 0});
    if (openAnswers.empty())
        return {};
    QString answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

QString RecordingServices::chooseFileToSave(QWidget*, const QString& title, const QString& proposedName,
                                            const FileTypes& types, int& type)
{
    saveDialogs.push_back({title, proposedName, types, type});
    if (saveAnswers.empty())
        return {};
    QString answer = saveAnswers.front();
    saveAnswers.pop_front();
    if (!saveTypes.empty()) {
        type = saveTypes.front();
        saveTypes.pop_front();
    }
    return answer;
}

bool RecordingServices::openLink(const QString& target)
{
    links.push_back(target);
    return linkOpens;
}

int RecordingServices::countWindowsTitled(const QString& title)
{
    countedTitles.push_back(title);
    return windowCount ? windowCount(title) : countTopLevelWindows(title);
}

void RecordingServices::showMessage(QWidget*, const QString& text, MessageIcon icon) { messages.push_back({text, icon}); }

bool RecordingServices::askQuestion(QWidget*, const QString& text)
{
    questions.push_back(text);
    if (questionAnswers.empty())
        return false;
    const bool yes = questionAnswers.front();
    questionAnswers.pop_front();
    return yes;
}

void RecordingServices::showModal(QDialog& dialog)
{
    ++modalCount;
    dialog.setModal(true);
    dialog.show();
    if (onModal)
        onModal(dialog);
    dialog.close();
}

} // namespace zorvika
