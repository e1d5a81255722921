#pragma once

#include <QList>
#include <QString>

#include <memory>

namespace Bench {

class Runner;

// One measure of the bench, in a file of its own that registers it:
//   namespace { class Cpu : public Measure { ... }; const Measure::Registration<Cpu> r(30); }
// The runner runs the registered measures in the order of their places, each only when
// --only names it (or no --only is given).
class Measure
{
public:
    virtual ~Measure() = default;
    // The name --only takes; also the section of the measure's rows and JSON.
    virtual QString name() const = 0;
    // Measures a Brellow that is logged in asks the runner for it (Runner::readyMain).
    virtual void run(Runner &bench) = 0;

    // Every registered measure, in running order.
    static QList<Measure *> all();
    static QStringList names();

    template <class T> struct Registration
    {
        explicit Registration(int place) { add(place, std::make_unique<T>()); }
    };

private:
    static void add(int place, std::unique_ptr<Measure> measure);
};

} // namespace Bench
