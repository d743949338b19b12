// Issues N records into one register as a shop's machine would, each through its own connection
// attempt: the load half of the tests with two writers at once.
// Usage: register_writer sqlite FILE N | register_writer postgres CONNINFO N

#include "register/register.h"
#include "register/tests/register_fixture.h"

#include <QUuid>

#include <charconv>
#include <iostream>
#include <string_view>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::cerr << "usage: register_writer sqlite|postgres WHERE N\n";
        return 2;
    }
    int n = 0;
    std::from_chars(argv[3], argv[3] + std::string_view(argv[3]).size(), n);
    reg::Location where;
    if (std::string_view(argv[1]) == "sqlite") {
        where.file = argv[2];
    } else {
        std::string error;
        auto params = reg::parseConnectionString(argv[2], error);
        if (!params) {
            std::cerr << error << '\n';
            return 2;
        }
        where.params = *params;
    }
    reg::Register registru(where, {});
    reg::MadeRecord made = regtest::exampleRecord("Client");
    for (int i = 0; i < n; ++i) {
        reg::Record r = made.record;
        r.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
        const reg::FileResult result = registru.file(r, made.tariffJson);
        if (result.filed != reg::Filed::stored) {
            std::cerr << result.message << '\n';
            return 1;
        }
    }
    return 0;
}
