<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CommandLine</name>
    <message>
        <source>Finds folders by name. Each folder given is added to the list of search
locations, in order; one that does not exist is reported when searched.
When the window is already open, the folders are added to it instead.</source>
        <extracomment>--help&apos;s opening; lines of at most 80 characters.</extracomment>
        <translation>Findet Ordner anhand ihres Namens. Jeder angegebene Ordner wird der Reihe nach
in die Liste der Suchorte aufgenommen; einer, den es nicht gibt, wird beim
Durchsuchen gemeldet. Ist das Fenster schon geöffnet, kommen die Ordner
stattdessen dort hinzu.</translation>
    </message>
    <message>
        <source>Shows this help and ends.</source>
        <translation>Zeigt diese Hilfe an und beendet sich.</translation>
    </message>
    <message>
        <source>Shows the version and ends.</source>
        <translation>Zeigt die Version an und beendet sich.</translation>
    </message>
    <message>
        <source>folder</source>
        <extracomment>The folders&apos; name in --help&apos;s list of arguments.</extracomment>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>[folder...]</source>
        <extracomment>The folders in --help&apos;s usage line, after &quot;[options]&quot;.</extracomment>
        <translation>[Ordner...]</translation>
    </message>
    <message>
        <source>A folder to search in.</source>
        <translation>Ein Ordner, der durchsucht werden soll.</translation>
    </message>
    <message>
        <source>
Try &apos;ostlebry --help&apos; for more.
</source>
        <translation>
„ostlebry --help“ liefert weitere Informationen.
</translation>
    </message>
    <message>
        <source>ostlebry: </source>
        <extracomment>Qt&apos;s description of the mistake follows.</extracomment>
        <translation>ostlebry: </translation>
    </message>
    <message>
        <source>ostlebry: an empty argument names no folder.</source>
        <translation>ostlebry: Ein leeres Argument benennt keinen Ordner.</translation>
    </message>
    <message>
        <source>%1 is a link</source>
        <translation>%1 ist ein symbolischer Link</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 ist kein Ordner</translation>
    </message>
    <message>
        <source>%1 belongs to another user</source>
        <translation>%1 gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>%1 is open to other users</source>
        <translation>%1 ist für andere Benutzer zugänglich</translation>
    </message>
    <message>
        <source>%1 is too long a path for a local socket</source>
        <translation>%1 ist als Pfad für einen lokalen Socket zu lang</translation>
    </message>
    <message>
        <source>ostlebry: no display found. This is a desktop program: start it in a graphical session (DISPLAY or WAYLAND_DISPLAY must be set).
</source>
        <translation>ostlebry: Keine Anzeige gefunden. Dies ist ein Desktop-Programm: Starten Sie es in einer grafischen Sitzung (DISPLAY oder WAYLAND_DISPLAY muss gesetzt sein).
</translation>
    </message>
    <message>
        <source>ostlebry: no private place to meet an open window (%1): this start opens a window of its own.
</source>
        <extracomment>%1 says why the private folder cannot be used.</extracomment>
        <translation>ostlebry: Kein privater Ort, an dem ein geöffnetes Fenster zu erreichen wäre (%1): Dieser Start öffnet ein eigenes Fenster.
</translation>
    </message>
    <message>
        <source>ostlebry: the folders were added to the window already open.
</source>
        <translation>ostlebry: Die Ordner wurden dem bereits geöffneten Fenster hinzugefügt.
</translation>
    </message>
    <message>
        <source>Lists every folder at every search, with no folder index (so does OSTLEBRY_INDEX=0).</source>
        <translation>Liest bei jeder Suche jeden Ordner neu ein, ohne Ordnerindex (ebenso mit OSTLEBRY_INDEX=0).</translation>
    </message>
    <message>
        <source>Keeps a folder index on every file system, also those whose folder times it does not rely on (so does OSTLEBRY_INDEX=everywhere). Without either, a location searched again on ext2/3/4, xfs, btrfs, f2fs, tmpfs, ZFS or NFS is checked against its index, and only the folders that changed are listed again.</source>
        <translation>Führt auf jedem Dateisystem einen Ordnerindex, auch auf denen, deren Ordnerzeitstempeln er nicht vertraut (ebenso mit OSTLEBRY_INDEX=everywhere). Ohne eine dieser Optionen wird ein Suchort auf ext2/3/4, xfs, btrfs, f2fs, tmpfs, ZFS oder NFS, der erneut durchsucht wird, mit seinem Index abgeglichen, und nur die geänderten Ordner werden neu eingelesen.</translation>
    </message>
    <message>
        <source>ostlebry: --no-index and --index-everywhere cannot go together.</source>
        <translation>ostlebry: --no-index und --index-everywhere schließen einander aus.</translation>
    </message>
</context>
<context>
    <name>CopyResultsCommand</name>
    <message>
        <source>Results have been copied to the clipboard.</source>
        <translation>Die Ergebnisse wurden in die Zwischenablage kopiert.</translation>
    </message>
    <message>
        <source>Click a text area where you normally type and press Ctrl+V to paste the clipboard.</source>
        <translation>Klicken Sie in ein Feld, in das Sie sonst Text eingeben, und drücken Sie Strg+V, um den Inhalt der Zwischenablage einzufügen.</translation>
    </message>
    <message>
        <source>No results are ticked. Tick the results to copy, then press the button again.</source>
        <translation>Kein Ergebnis hat ein Häkchen. Setzen Sie bei den Ergebnissen, die kopiert werden sollen, ein Häkchen und drücken Sie die Schaltfläche dann erneut.</translation>
    </message>
    <message>
        <source>The clipboard could not be set: another program may be holding it. Nothing was copied.</source>
        <translation>Die Zwischenablage konnte nicht belegt werden: Möglicherweise hält ein anderes Programm sie fest. Es wurde nichts kopiert.</translation>
    </message>
</context>
<context>
    <name>Failure</name>
    <message>
        <source>Index out of bounds</source>
        <translation>Index außerhalb des gültigen Bereichs</translation>
    </message>
    <message>
        <source>This is a named pipe (FIFO), not a file</source>
        <translation>Dies ist eine benannte Pipe (FIFO), keine Datei</translation>
    </message>
    <message>
        <source>This is a socket, not a file</source>
        <translation>Dies ist ein Socket, keine Datei</translation>
    </message>
    <message>
        <source>This is a block device, not a file</source>
        <translation>Dies ist ein Blockgerät, keine Datei</translation>
    </message>
    <message>
        <source>This is a device, not a file</source>
        <translation>Dies ist ein Gerät, keine Datei</translation>
    </message>
    <message>
        <source>This is not a file</source>
        <translation>Dies ist keine Datei</translation>
    </message>
    <message>
        <source>This is in %1, among the kernel&apos;s own files: results are not saved there</source>
        <translation>Dies liegt in %1, bei den eigenen Dateien des Kernels: Dort werden keine Ergebnisse gespeichert</translation>
    </message>
    <message>
        <source>. The file was being written in place and now holds only part of the results.</source>
        <translation>. Die Datei wurde an Ort und Stelle überschrieben und enthält jetzt nur einen Teil der Ergebnisse.</translation>
    </message>
    <message>
        <source>Path not found: %1 (%2)</source>
        <translation>Pfad nicht gefunden: %1 (%2)</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Nicht genügend Speicher</translation>
    </message>
    <message>
        <source>Invalid property value</source>
        <translation>Ungültiger Eigenschaftswert</translation>
    </message>
    <message>
        <source>Invalid procedure call or argument</source>
        <translation>Ungültiger Prozeduraufruf oder ungültiges Argument</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Datei nicht gefunden</translation>
    </message>
    <message>
        <source>Invalid picture</source>
        <translation>Ungültiges Bild</translation>
    </message>
    <message>
        <source>Object required</source>
        <translation>Objekt erforderlich</translation>
    </message>
    <message>
        <source>Invalid number of parameters</source>
        <translation>Ungültige Anzahl von Parametern</translation>
    </message>
    <message>
        <source>Member not found</source>
        <translation>Mitglied nicht gefunden</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Typen unverträglich</translation>
    </message>
    <message>
        <source>Cannot load the skin &quot;%1&quot;: %2</source>
        <translation>Der Skin „%1“ kann nicht geladen werden: %2</translation>
    </message>
    <message>
        <source>No skin is loaded</source>
        <translation>Es ist kein Skin geladen</translation>
    </message>
    <message>
        <source>Invalid window handle</source>
        <translation>Ungültiges Fensterhandle</translation>
    </message>
    <message>
        <source>a comment opened on line %1 is never closed</source>
        <translation>Ein in Zeile %1 begonnener Kommentar wird nie geschlossen</translation>
    </message>
    <message>
        <source>line %1 has text outside any rule</source>
        <translation>Zeile %1 enthält Text außerhalb jeder Regel</translation>
    </message>
    <message>
        <source>line %1 has a rule without a proper selector</source>
        <translation>Zeile %1 enthält eine Regel ohne gültigen Selektor</translation>
    </message>
    <message>
        <source>the rule on line %1 is never closed</source>
        <translation>Die Regel in Zeile %1 wird nie geschlossen</translation>
    </message>
    <message>
        <source>the rule on line %1 has a declaration that is not &quot;name: value&quot;</source>
        <translation>Die Regel in Zeile %1 enthält eine Angabe, die nicht die Form „Name: Wert“ hat</translation>
    </message>
    <message>
        <source>it holds no rules</source>
        <translation>Er enthält keine Regeln</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be read or written.</source>
        <translation>Die Einstellungsdatei %1 kann nicht gelesen oder geschrieben werden.</translation>
    </message>
    <message>
        <source>The settings file %1 is not a regular file.</source>
        <translation>Die Einstellungsdatei %1 ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>The settings file %1 is damaged: it is larger than %2 MB.</source>
        <translation>Die Einstellungsdatei %1 ist beschädigt: Sie ist größer als %2 MB.</translation>
    </message>
    <message>
        <source>The settings cannot be encoded: %1</source>
        <translation>Die Einstellungen können nicht kodiert werden: %1</translation>
    </message>
    <message>
        <source>The settings cannot be decoded: %1</source>
        <translation>Die Einstellungen können nicht dekodiert werden: %1</translation>
    </message>
    <message>
        <source>The damaged settings file %1 cannot be kept aside.</source>
        <translation>Die beschädigte Einstellungsdatei %1 kann nicht beiseitegelegt werden.</translation>
    </message>
    <message>
        <source>The settings file %1 would be larger than %2 MB.</source>
        <translation>Die Einstellungsdatei %1 würde größer als %2 MB.</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Überlauf</translation>
    </message>
</context>
<context>
    <name>FailureReport</name>
    <message>
        <source>Application Error</source>
        <extracomment>The failure report&apos;s title.</extracomment>
        <translation>Anwendungsfehler</translation>
    </message>
    <message>
        <source>Please keep a screenshot of this message: no support address was set when this copy of Ostlebry was built.</source>
        <translation>Bitte bewahren Sie ein Bildschirmfoto dieser Meldung auf: Beim Erstellen dieses Exemplars von Ostlebry wurde keine Support-Adresse angegeben.</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to </source>
        <extracomment>The support e-mail address follows.</extracomment>
        <translation>Bitte senden Sie ein Bildschirmfoto dieser Meldung per E-Mail an </translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Searching </source>
        <extracomment>The folders list&apos;s header while a search runs; the folder&apos;s path follows.</extracomment>
        <translation>Suche in </translation>
    </message>
    <message>
        <source>Folder(s)</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Folder(s): the folders to search within</source>
        <translation>Ordner: die zu durchsuchenden Ordner</translation>
    </message>
    <message>
        <source>Results: the folders found</source>
        <translation>Ergebnisse: die gefundenen Ordner</translation>
    </message>
    <message>
        <source>Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <extracomment>Both lists&apos; tooltip; &quot;|&quot; is the line at the right end of the column&apos;s header.</extracomment>
        <translation>Ein Doppelklick entfernt den Eintrag. Ziehen Sie die Linie | nach rechts aus dem Fenster, um ganze Namen zu sehen.</translation>
    </message>
    <message>
        <source>Search For These Character(s)</source>
        <translation>Nach diesen Zeichen suchen</translation>
    </message>
    <message>
        <source>Case Option</source>
        <translation>Groß-/Kleinschreibung</translation>
    </message>
    <message>
        <source>Match Case</source>
        <translation>Beachten</translation>
    </message>
    <message>
        <source>Option</source>
        <extracomment>The frame of the two display options below it.</extracomment>
        <translation>Anzeige</translation>
    </message>
    <message>
        <source>Display full path</source>
        <translation>Ganzer Pfad</translation>
    </message>
    <message>
        <source>Display folder name only </source>
        <translation>Nur Ordnername </translation>
    </message>
    <message>
        <source>Add Drive/Folder To Search Within</source>
        <translation>Laufwerk/Ordner zum Durchsuchen hinzufügen</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Liste leeren</translation>
    </message>
    <message>
        <source>Load Sample/Example Folder</source>
        <translation>Beispielordner laden</translation>
    </message>
    <message>
        <source>Start Finding</source>
        <translation>Suche starten</translation>
    </message>
    <message>
        <source>Save Results As Text File</source>
        <translation>Als Textdatei speichern</translation>
    </message>
    <message>
        <source>Copy Results To Clipboard</source>
        <translation>In Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Remove Results Containing X</source>
        <extracomment>&quot;X&quot; stands for the phrase the command asks for.</extracomment>
        <translation>Ergebnisse mit X entfernen</translation>
    </message>
    <message>
        <source>Remove Results Not Containing X</source>
        <extracomment>&quot;X&quot; stands for the phrase the command asks for.</extracomment>
        <translation>Ergebnisse ohne X entfernen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Clear Results</source>
        <translation>Ergebnisse leeren</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>Open Containing Folder</source>
        <extracomment>Opens the folder that holds the row&apos;s folder, with that folder selected.</extracomment>
        <translation>Übergeordneten Ordner öffnen</translation>
    </message>
    <message>
        <source>Copy Path</source>
        <translation>Pfad kopieren</translation>
    </message>
    <message>
        <source>Tick All</source>
        <extracomment>Sets every row&apos;s check mark.</extracomment>
        <translation>Alle Häkchen setzen</translation>
    </message>
    <message>
        <source>Untick All</source>
        <extracomment>Clears every row&apos;s check mark.</extracomment>
        <translation>Alle Häkchen entfernen</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Ergebnisse</translation>
    </message>
</context>
<context>
    <name>HelpCommand</name>
    <message>
        <source>Questions? No contact page was set when this copy of Ostlebry was built.</source>
        <translation>Fragen? Beim Erstellen dieses Exemplars von Ostlebry wurde keine Kontaktseite angegeben.</translation>
    </message>
    <message>
        <source>Questions? Please contact Team Ostlebry at </source>
        <extracomment>The address of the maker&apos;s contact page follows.</extracomment>
        <translation>Fragen? Bitte wenden Sie sich an das Team Ostlebry unter </translation>
    </message>
</context>
<context>
    <name>LocationCommands</name>
    <message>
        <source>Please select folder:</source>
        <extracomment>The folder browser&apos;s title.</extracomment>
        <translation>Bitte einen Ordner auswählen:</translation>
    </message>
</context>
<context>
    <name>LocationReports</name>
    <message>
        <source>1 folder</source>
        <extracomment>Begins &quot;1 folder could not be read: ...&quot; or &quot;1 folder in 1 more location could not be read: ...&quot;.</extracomment>
        <translation>1 Ordner</translation>
    </message>
    <message>
        <source>%1 folders</source>
        <extracomment>Begins &quot;3 folders could not be read; the first: ...&quot; or &quot;3 folders in 2 more locations could not be read; the first: ...&quot;.</extracomment>
        <translation>%1 Ordner</translation>
    </message>
    <message>
        <source> could not be read: </source>
        <extracomment>After &quot;1 folder&quot; or &quot;1 folder in 1 more location&quot;; the folder&apos;s path and the reason follow.</extracomment>
        <translation> konnte nicht gelesen werden: </translation>
    </message>
    <message>
        <source> could not be read; the first: </source>
        <extracomment>After &quot;3 folders&quot; or &quot;3 folders in 2 more locations&quot;; the first folder&apos;s path and the reason follow.</extracomment>
        <translation> konnten nicht gelesen werden; der erste: </translation>
    </message>
    <message>
        <source>1 more location could not be searched: </source>
        <extracomment>After three locations reported one by one; the failure follows.</extracomment>
        <translation>1 weiterer Suchort konnte nicht durchsucht werden: </translation>
    </message>
    <message>
        <source>%1 more locations could not be searched; the first: </source>
        <extracomment>After three locations reported one by one; the first one&apos;s failure follows.</extracomment>
        <translation>%1 weitere Suchorte konnten nicht durchsucht werden; der erste: </translation>
    </message>
    <message>
        <source> in 1 more location</source>
        <extracomment>Between &quot;2 folders&quot; and &quot; could not be read; the first: &quot;.</extracomment>
        <translation> in 1 weiteren Suchort</translation>
    </message>
    <message>
        <source> in %1 more locations</source>
        <extracomment>Between &quot;3 folders&quot; and &quot; could not be read; the first: &quot;.</extracomment>
        <translation> in %1 weiteren Suchorten</translation>
    </message>
</context>
<context>
    <name>ResultActions</name>
    <message>
        <source>This folder is no longer there:
</source>
        <extracomment>The folder&apos;s path follows on the next line.</extracomment>
        <translation>Diesen Ordner gibt es nicht mehr:
</translation>
    </message>
    <message>
        <source>The desktop could not open this folder:
</source>
        <extracomment>The folder&apos;s path follows on the next line.</extracomment>
        <translation>Die Arbeitsumgebung konnte diesen Ordner nicht öffnen:
</translation>
    </message>
    <message>
        <source>No file manager is set to open folders, so this folder cannot be shown:
</source>
        <extracomment>The folder&apos;s path follows on the next line.</extracomment>
        <translation>Es ist kein Dateimanager zum Öffnen von Ordnern eingestellt, deshalb kann dieser Ordner nicht angezeigt werden:
</translation>
    </message>
</context>
<context>
    <name>ResultFilterCommands</name>
    <message>
        <source>Remove entries containing: </source>
        <extracomment>The prompt of the box that asks for the phrase.</extracomment>
        <translation>Einträge entfernen, die Folgendes enthalten: </translation>
    </message>
    <message>
        <source>Remove entries not containing: </source>
        <extracomment>The prompt of the box that asks for the phrase.</extracomment>
        <translation>Einträge entfernen, die Folgendes nicht enthalten: </translation>
    </message>
</context>
<context>
    <name>SaveResultsCommand</name>
    <message>
        <source>Save</source>
        <extracomment>The save dialog&apos;s title.</extracomment>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <extracomment>A file type in the save dialog; keep &quot;(*.txt)&quot; at its end.</extracomment>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Folders found.txt</source>
        <extracomment>The file name the save dialog proposes.</extracomment>
        <translation>Gefundene Ordner.txt</translation>
    </message>
    <message>
        <source>Are you sure you wish to overwrite %1 ?</source>
        <extracomment>%1 is the file&apos;s path.</extracomment>
        <translation>Möchten Sie %1 wirklich überschreiben?</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Fertig.</translation>
    </message>
</context>
<context>
    <name>SearchRun</name>
    <message>
        <source>Input search for what phrase.</source>
        <translation>Bitte geben Sie ein, wonach gesucht werden soll.</translation>
    </message>
    <message>
        <source>No folders added.</source>
        <translation>Keine Ordner hinzugefügt.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Fertig.</translation>
    </message>
</context>
</TS>
