#pragma once

#include <string>

#include "mail/invitation/invitation_content.h"
#include "support/temp_folder.h"

namespace kavelune::testing {

// A program folder with installer data, a song, a dance, a pool file and a character folder
// holding files the invitation takes and files it leaves behind.
inline InvitationContent writeProgramFolder(const TempFolder& program) {
    program.write("KaveluneLE.bin", std::string("MZ\0\x01installer", 13));
    program.write("Sounds/song.mp3", std::string(5000, '\xFB'));
    program.write("Sequences/Disco/a.dsq", "dance bytes");
    program.write("Sequences/Motion Pool/pool1.dmp", std::string(3000, '\0') + "pool");
    program.write("Characters/Girl/girl.txt", "model \"girl.dcz\"\r\n");
    program.write("Characters/Girl/girl.dcz", std::string(70000, 'z'));
    program.write("Characters/Girl/notes.c", "the extension c occurs in the list");
    program.write("Characters/Girl/readme", "no period: stays home");
    program.write("Characters/Girl/photo.png", "not a character file");
    program.write("Characters/Girl/mail.cfg", "<PW>\t<c2VjcmV0>\r\n");
    program.write("Characters/Girl/Tex/skin.jpg", "jpeg");
    program.write("Characters/Girl/Tex/deep/x.tga", "tga");

    InvitationContent content;
    content.sound = "Sounds\\song.mp3";
    content.dance = "Sequences\\Disco\\a.dsq";
    content.character = "Characters\\Girl\\girl.txt";
    content.danceFiles = {"Sequences\\Motion Pool\\pool1.dmp", "pool1.dmp"};
    content.launchFileText = "width\t\t\t\"200\"\r\nheight\t\t\t\"300\"\r\ncharacter\t\t\"Characters\\Girl\\girl.txt\"\r\n"
                             "dance\t\t\t\"Sequences\\Disco\\a.dsq\"\r\n";
    return content;
}

}  // namespace kavelune::testing
