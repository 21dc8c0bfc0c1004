#include "AdbProvisionError.h"

namespace corvane::AdbProvisionErrors {

QStringView plainDescription(AdbProvisionError error) {
    switch (error) {
    case AdbProvisionError::downloadFailed:
        return u"Kestrin couldn't reach Google to get the helper it needs. Check this computer is online, "
               u"then "
               u"try again. Nothing has changed on your glasses.";
    case AdbProvisionError::unpackFailed:
        return u"The download from Google arrived damaged and Kestrin couldn't open it. Try again — this is "
               u"usually a one-off. Nothing has changed on your glasses.";
    case AdbProvisionError::noPrivateFolder:
        return u"Kestrin couldn't make a private folder for the download in your cache folder, so it "
               u"didn't fetch anything. Check that the folder is yours and the disk has room, then try "
               u"again. Nothing has changed on your glasses.";
    case AdbProvisionError::notFromGoogle:
        break;
    }
    return u"What arrived didn't come from Google, so Kestrin stopped and didn't run it. Nothing has changed "
           u"on "
           u"your glasses. This usually means something on the network in between altered the download — a "
           u"guest or office network is the usual culprit. Try again on a different network.";
}

} // namespace corvane::AdbProvisionErrors
