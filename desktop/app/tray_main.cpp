// kestrin-tray: Kestrin with its tray and windows. kestrin hands over to it when a display answers.

#include <corvane/GraphicalFace.h>
#include <corvane/KestrinMain.h>
#include <corvane/TrayFace.h>

int main(int argc, char* argv[]) {
    return corvane::kestrinMain(argc, argv, &corvane::TrayFace::toolkit);
}
