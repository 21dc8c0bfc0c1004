#include "ObjectCount.h"

#include <QObject>

#include <mutex>
#include <unordered_set>

// Qt exports its hook table without a public header; these are its fixed places (qhooks_p.h, unchanged
// since Qt 5.4): the table's version, its size, the Qt version, and the two QObject callbacks.
QT_BEGIN_NAMESPACE
namespace QHooks {
enum { HookDataVersion = 0, HookDataSize = 1, QtVersion = 2, AddQObject = 3, RemoveQObject = 4 };
} // namespace QHooks
extern quintptr Q_CORE_EXPORT qtHookData[];
QT_END_NAMESPACE

namespace ObjectCount {

namespace {

using Callback = void (*)(QObject*);

// Objects are made and destroyed on Qt's own threads too.
struct Tracked {
    std::mutex mutex;
    std::unordered_set<QObject*> objects;
};

// Never destroyed: objects go until the very end of the process, after every static is gone.
Tracked& tracked() {
    static Tracked* const all = new Tracked;
    return *all;
}

Callback previousAdd = nullptr;
Callback previousRemove = nullptr;

// Keeps the object in the set of live ones or takes it out, then hands it on.
void track(QObject* object, bool alive, Callback previous) {
    {
        Tracked& all = tracked();
        const std::scoped_lock lock(all.mutex);
        if (alive)
            all.objects.insert(object);
        else
            all.objects.erase(object);
    }
    if (previous)
        previous(object);
}

void added(QObject* object) {
    track(object, true, previousAdd);
}

void removed(QObject* object) {
    track(object, false, previousRemove);
}

} // namespace

bool install() {
    if (qtHookData[QHooks::HookDataVersion] < 1 ||
        qtHookData[QHooks::HookDataSize] <= QHooks::RemoveQObject ||
        qtHookData[QHooks::QtVersion] >> 8 != QT_VERSION >> 8)
        return false;
    tracked(); // made before the first object can be
    previousAdd = reinterpret_cast<Callback>(qtHookData[QHooks::AddQObject]);
    previousRemove = reinterpret_cast<Callback>(qtHookData[QHooks::RemoveQObject]);
    qtHookData[QHooks::AddQObject] = reinterpret_cast<quintptr>(&added);
    qtHookData[QHooks::RemoveQObject] = reinterpret_cast<quintptr>(&removed);
    return true;
}

qint64 live() {
    Tracked& all = tracked();
    const std::scoped_lock lock(all.mutex);
    return static_cast<qint64>(all.objects.size());
}

// An object being destroyed on another thread waits in `removed` while this holds the lock: it is
// still there to be asked its class.
std::map<QString, qint64> byClass() {
    Tracked& all = tracked();
    const std::scoped_lock lock(all.mutex);
    std::map<QString, qint64> classes;
    for (const QObject* object : all.objects)
        ++classes[QString::fromLatin1(object->metaObject()->className())];
    return classes;
}

} // namespace ObjectCount
