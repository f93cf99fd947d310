// The clock window's actions on the tables: saving a test, profiles and
// athletes.  Filled in once the table store is in place.

#include "clock/tform1.h"

void TForm1::openTestTable() {}
void TForm1::SpeedButton3Click() {}
void TForm1::BitBtn5Click() {}
void TForm1::ListBox1Click() {}
void TForm1::BitBtn2Click() {}
void TForm1::BitBtn6Click() {}
void TForm1::Edit37Click() {}
void TForm1::BitBtn4Click() {}
void TForm1::ListBox2Click() {}
void TForm1::BitBtn7Click() {}
