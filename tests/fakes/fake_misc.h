#pragma once

#include "platform/sleep/sleeper.h"
#include "platform/sound/sound.h"
#include "platform/tools/system_tools.h"

#include <QStringList>
#include <map>
#include <vector>

class FakeSound : public Sound {
public:
    void play(const QString& path) override { played.append(path); }
    QStringList played;
};

// Virtual clock: sleeping advances nowMs instead of waiting.
class FakeSleeper : public Sleeper {
public:
    void sleepMs(int ms) override {
        sleeps.push_back(ms);
        if (ms > 0)
            nowMs += ms;
    }
    std::vector<int> sleeps;
    long long nowMs = 0;
};

// Programs "on PATH" are the keys of onPath; started programs are recorded.
class FakeTools : public SystemTools {
public:
    QString findExecutable(const QString& name) override {
        searched.append(name);
        auto it = onPath.find(name);
        return it == onPath.end() ? QString() : it->second;
    }
    bool startDetached(const QString& program) override {
        started.append(program);
        return !failStart;
    }
    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return !failOpen;
    }
    std::map<QString, QString> onPath;
    QStringList searched;
    QStringList started;
    bool failStart = false;
    QList<QUrl> opened;
    bool failOpen = false;
};
