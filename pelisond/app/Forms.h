#pragma once

#include <string>

namespace pelisond {

class TForm1;
class TForm2;
class TForm3;
class TForm5;
class TForm8;
class TForm9;

// The program's six windows; each exists once, from start-up to the end, and the
// windows reach each other through these.
extern TForm1* Form1;  // main window
extern TForm3* Form3;  // parameters
extern TForm2* Form2;  // 3D view
extern TForm8* Form8;  // graphs
extern TForm5* Form5;  // phase portrait
extern TForm9* Form9;  // graph choice

// Creates the six windows in start-up order. dataPath names the parameter file; empty
// means pelisond.dat beside the executable.
void CreateForms(const std::string& dataPath = {});
// Destroys them in the reverse order.
void DestroyForms();

} // namespace pelisond
