// Lets one test executable per area run several Qt Test classes: each test
// file registers its class, and the shared main runs them all in turn.
#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace tizhi::test {

using Factory = std::function<std::unique_ptr<QObject>()>;

std::vector<Factory> &registry();

struct Registration {
    explicit Registration(Factory factory) { registry().push_back(std::move(factory)); }
};

} // namespace tizhi::test

#define TIZHI_REGISTER_TEST(Class)                                                                 \
    static const tizhi::test::Registration registration##Class(                                    \
        [] { return std::unique_ptr<QObject>(new Class); })
