// gang-horse-sim.exe: the simulator lives in the stand-in ScriptHookRDR2.dll,
// with the host that the loaded gang_horse.asi calls; this program only
// starts it.
extern "C" __declspec(dllimport) int gangHorseSimMain(int argc, char** argv);

int main(int argc, char** argv) { return gangHorseSimMain(argc, argv); }
