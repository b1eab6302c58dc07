#pragma once

#include "platform/telescope/telescope.h"

#include <functional>
#include <vector>

// Creates drivers by identifier scheme: an identifier is handled by the first registered
// creator whose prefix it starts with (compared exactly). An identifier no creator claims
// cannot be created.
class TelescopeRegistry : public TelescopeFactory {
public:
    using Creator = std::function<std::unique_ptr<TelescopeDriver>(const QString& identifier)>;

    void add(const QString& prefix, Creator creator);
    std::unique_ptr<TelescopeDriver> create(const QString& identifier) override;

private:
    std::vector<std::pair<QString, Creator>> creators_;
};
