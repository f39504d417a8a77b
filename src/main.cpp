#include "TarvoAgenda.h"

#include "widgets/Application.h"

int main(int argc, char* argv[])
{
    Application app(argc, argv);
    return TarvoAgendaRun();
}
