<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>Settings</name>
    <message>
        <source>&quot;%1&quot; is read as %2 s. For %3 min %4 s type %3:%5.</source>
        <translation>„%1“ wird als %2 s gelesen. Für %3 min %4 s %3:%5 eingeben.</translation>
    </message>
</context>
</TS>
