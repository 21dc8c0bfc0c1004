#include "Figures.h"

#include "ObjectCount.h"

#include <QDir>
#include <QFile>

#include <malloc.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A field of /proc/self/status, such as "VmRSS:\t  61234 kB": its first number.
qint64 statusField(const QByteArray& status, QByteArrayView name) {
    for (const QByteArray& line : status.split('\n'))
        if (line.startsWith(name) && line.size() > name.size() && line[name.size()] == ':')
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

QString signedNumber(qint64 value) {
    return value > 0 ? u"+"_s + QString::number(value) : QString::number(value);
}

QString signedMiB(double value) {
    const QString text = QString::number(value, 'f', 1);
    return text.startsWith(u'-') ? text : u"+"_s + text;
}

} // namespace

Figures Figures::now() {
    QFile statusFile(u"/proc/self/status"_s);
    const QByteArray status = statusFile.open(QIODevice::ReadOnly) ? statusFile.readAll() : QByteArray();
    const struct mallinfo2 heap = ::mallinfo2(); // every arena's
    return {
        .residentMiB = double(statusField(status, "VmRSS")) / 1024.0,
        .anonymousMiB = double(statusField(status, "RssAnon")) / 1024.0,
        .fileMiB = double(statusField(status, "RssFile")) / 1024.0,
        .sharedMiB = double(statusField(status, "RssShmem")) / 1024.0,
        .heapInUseMiB = double(heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0),
        // The listing holds one descriptor of its own while it reads, every time alike.
        .descriptors =
            QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size(),
        .threads = int(statusField(status, "Threads")),
        .objects = ObjectCount::live(),
    };
}

QString Figures::text() const {
    const auto mib = [](double value) { return QString::number(value, 'f', 1); };
    return u"resident %1 MiB (anonymous %2, files %3, shared %4; heap in use %5), %6 descriptors, "
           u"%7 threads, %8 QObjects"_s.arg(mib(residentMiB), mib(anonymousMiB), mib(fileMiB), mib(sharedMiB),
                                            mib(heapInUseMiB), QString::number(descriptors),
                                            QString::number(threads), QString::number(objects));
}

QString Figures::growthText() const {
    return u"resident %1 MiB (anonymous %2, files %3, shared %4; heap in use %5), %6 descriptors, "
           u"%7 threads, %8 QObjects"_s.arg(signedMiB(residentMiB), signedMiB(anonymousMiB),
                                            signedMiB(fileMiB), signedMiB(sharedMiB), signedMiB(heapInUseMiB),
                                            signedNumber(descriptors), signedNumber(threads),
                                            signedNumber(objects));
}

Figures Figures::operator-(const Figures& earlier) const {
    return {
        .residentMiB = residentMiB - earlier.residentMiB,
        .anonymousMiB = anonymousMiB - earlier.anonymousMiB,
        .fileMiB = fileMiB - earlier.fileMiB,
        .sharedMiB = sharedMiB - earlier.sharedMiB,
        .heapInUseMiB = heapInUseMiB - earlier.heapInUseMiB,
        .descriptors = descriptors - earlier.descriptors,
        .threads = threads - earlier.threads,
        .objects = objects - earlier.objects,
    };
}
