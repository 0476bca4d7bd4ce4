#pragma once

#include "ui/dialogs.h"

#include <QStringList>
#include <deque>

namespace vu::test {

// Dialogs that answer from a script and remember what they were asked.
class ScriptedDialogs : public Dialogs {
public:
    std::deque<bool> answers;    // for ask(); No when empty
    std::deque<QString> files;   // for openFile(); cancelled when empty
    std::deque<QString> folders; // for chooseFolder(); cancelled when empty
    QStringList messages;
    QStringList questions;
    QStringList errors;

    void message(const QString& text, Icon) override { messages << text; }
    bool ask(const QString& text, Icon, const QString&, const QString&) override {
        questions << text;
        if (answers.empty()) {
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString openFile(const QString&, const QString&, bool) override { return take(files); }
    QString chooseFolder(const QString&) override { return take(folders); }
    void error(const QString& text) override { errors << text; }

private:
    static QString take(std::deque<QString>& queue) {
        if (queue.empty()) {
            return {};
        }
        QString value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace vu::test
