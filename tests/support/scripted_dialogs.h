#pragma once

#include "ui/dialogs.h"

#include <QStringList>
#include <deque>
#include <functional>

namespace vu::test {

// Dialogs that answer from a script and remember what they were asked.
class ScriptedDialogs : public Dialogs {
public:
    std::deque<bool> answers; // for ask(); defaultAnswer when empty
    bool defaultAnswer = false;
    std::deque<QString> files;     // for openFile(); cancelled when empty
    std::deque<QString> folders;   // for chooseFolder(); cancelled when empty
    std::deque<QString> passwords; // for askPassword(); cancelled when empty
    QStringList passwordPrompts;
    QStringList messages;
    QStringList questions;
    QStringList errors;
    // Told of every message ("message") and error ("error") shown, as it is shown.
    std::function<void(const QString& kind, const QString& text)> onShown;

    void message(const QString& text, Icon) override {
        messages << text;
        report(QStringLiteral("message"), text);
    }
    bool ask(const QString& text, Icon, const QString&, const QString&) override {
        questions << text;
        if (answers.empty()) {
            return defaultAnswer;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString openFile(const QString&, const QString&, bool) override { return take(files); }
    QString chooseFolder(const QString&) override { return take(folders); }
    std::optional<QString> askPassword(const QString& text) override {
        passwordPrompts << text;
        if (passwords.empty()) {
            return std::nullopt;
        }
        return take(passwords);
    }
    void error(const QString& text) override {
        errors << text;
        report(QStringLiteral("error"), text);
    }

private:
    void report(const QString& kind, const QString& text) const {
        if (onShown) {
            onShown(kind, text);
        }
    }

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
