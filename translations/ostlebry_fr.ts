<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>CommandLine</name>
    <message>
        <source>Finds folders by name. Each folder given is added to the list of search
locations, in order; one that does not exist is reported when searched.
When the window is already open, the folders are added to it instead.</source>
        <extracomment>--help&apos;s opening; lines of at most 80 characters.</extracomment>
        <translation>Trouve des dossiers par leur nom. Chaque dossier donné est ajouté, dans l&apos;ordre,
à la liste des emplacements de recherche&#xa0;; un dossier qui n&apos;existe pas est
signalé lors de sa recherche. Si la fenêtre est déjà ouverte, les dossiers y
sont ajoutés.</translation>
    </message>
    <message>
        <source>Shows this help and ends.</source>
        <translation>Affiche cette aide et quitte.</translation>
    </message>
    <message>
        <source>Shows the version and ends.</source>
        <translation>Affiche la version et quitte.</translation>
    </message>
    <message>
        <source>folder</source>
        <extracomment>The folders&apos; name in --help&apos;s list of arguments.</extracomment>
        <translation>dossier</translation>
    </message>
    <message>
        <source>[folder...]</source>
        <extracomment>The folders in --help&apos;s usage line, after &quot;[options]&quot;.</extracomment>
        <translation>[dossier...]</translation>
    </message>
    <message>
        <source>A folder to search in.</source>
        <translation>Un dossier dans lequel chercher.</translation>
    </message>
    <message>
        <source>
Try &apos;ostlebry --help&apos; for more.
</source>
        <translation>
Saisissez «&#xa0;ostlebry --help&#xa0;» pour plus d&apos;informations.
</translation>
    </message>
    <message>
        <source>ostlebry: </source>
        <extracomment>Qt&apos;s description of the mistake follows.</extracomment>
        <translation>ostlebry&#xa0;: </translation>
    </message>
    <message>
        <source>ostlebry: an empty argument names no folder.</source>
        <translation>ostlebry&#xa0;: un argument vide ne désigne aucun dossier.</translation>
    </message>
    <message>
        <source>%1 is a link</source>
        <translation>%1 est un lien symbolique</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 n&apos;est pas un dossier</translation>
    </message>
    <message>
        <source>%1 belongs to another user</source>
        <translation>%1 appartient à un autre utilisateur</translation>
    </message>
    <message>
        <source>%1 is open to other users</source>
        <translation>%1 est accessible à d&apos;autres utilisateurs</translation>
    </message>
    <message>
        <source>%1 is too long a path for a local socket</source>
        <translation>%1 est un chemin trop long pour un socket local</translation>
    </message>
    <message>
        <source>ostlebry: no display found. This is a desktop program: start it in a graphical session (DISPLAY or WAYLAND_DISPLAY must be set).
</source>
        <translation>ostlebry&#xa0;: aucun affichage trouvé. Ceci est un programme de bureau&#xa0;: lancez-le dans une session graphique (DISPLAY ou WAYLAND_DISPLAY doit être défini).
</translation>
    </message>
    <message>
        <source>ostlebry: no private place to meet an open window (%1): this start opens a window of its own.
</source>
        <extracomment>%1 says why the private folder cannot be used.</extracomment>
        <translation>ostlebry&#xa0;: aucun endroit privé où rejoindre une fenêtre ouverte (%1)&#xa0;: ce lancement ouvre sa propre fenêtre.
</translation>
    </message>
    <message>
        <source>ostlebry: the folders were added to the window already open.
</source>
        <translation>ostlebry&#xa0;: les dossiers ont été ajoutés à la fenêtre déjà ouverte.
</translation>
    </message>
    <message>
        <source>Lists every folder at every search, with no folder index (so does OSTLEBRY_INDEX=0).</source>
        <translation>Relit chaque dossier à chaque recherche, sans index des dossiers (de même avec OSTLEBRY_INDEX=0).</translation>
    </message>
    <message>
        <source>Keeps a folder index on every file system, also those whose folder times it does not rely on (so does OSTLEBRY_INDEX=everywhere). Without either, a location searched again on ext2/3/4, xfs, btrfs, f2fs, tmpfs, ZFS or NFS is checked against its index, and only the folders that changed are listed again.</source>
        <translation>Tient un index des dossiers sur tous les systèmes de fichiers, y compris ceux dont les dates des dossiers ne sont pas jugées fiables (de même avec OSTLEBRY_INDEX=everywhere). Sans aucune de ces deux options, un emplacement de nouveau parcouru sur ext2/3/4, xfs, btrfs, f2fs, tmpfs, ZFS ou NFS est comparé à son index, et seuls les dossiers modifiés sont relus.</translation>
    </message>
    <message>
        <source>ostlebry: --no-index and --index-everywhere cannot go together.</source>
        <translation>ostlebry&#xa0;: --no-index et --index-everywhere ne peuvent pas être utilisées ensemble.</translation>
    </message>
</context>
<context>
    <name>CopyResultsCommand</name>
    <message>
        <source>Results have been copied to the clipboard.</source>
        <translation>Les résultats ont été copiés dans le presse-papiers.</translation>
    </message>
    <message>
        <source>Click a text area where you normally type and press Ctrl+V to paste the clipboard.</source>
        <translation>Cliquez dans une zone où vous saisissez habituellement du texte et appuyez sur Ctrl+V pour coller le contenu du presse-papiers.</translation>
    </message>
    <message>
        <source>No results are ticked. Tick the results to copy, then press the button again.</source>
        <translation>Aucun résultat n&apos;est coché. Cochez les résultats à copier, puis appuyez de nouveau sur le bouton.</translation>
    </message>
    <message>
        <source>The clipboard could not be set: another program may be holding it. Nothing was copied.</source>
        <translation>Impossible de remplir le presse-papiers&#xa0;: un autre programme le bloque peut-être. Rien n&apos;a été copié.</translation>
    </message>
</context>
<context>
    <name>Failure</name>
    <message>
        <source>Index out of bounds</source>
        <translation>Index hors limites</translation>
    </message>
    <message>
        <source>This is a named pipe (FIFO), not a file</source>
        <translation>Ceci est un tube nommé (FIFO), pas un fichier</translation>
    </message>
    <message>
        <source>This is a socket, not a file</source>
        <translation>Ceci est un socket, pas un fichier</translation>
    </message>
    <message>
        <source>This is a block device, not a file</source>
        <translation>Ceci est un périphérique bloc, pas un fichier</translation>
    </message>
    <message>
        <source>This is a device, not a file</source>
        <translation>Ceci est un périphérique, pas un fichier</translation>
    </message>
    <message>
        <source>This is not a file</source>
        <translation>Ceci n&apos;est pas un fichier</translation>
    </message>
    <message>
        <source>This is in %1, among the kernel&apos;s own files: results are not saved there</source>
        <translation>Ceci se trouve dans %1, parmi les fichiers propres au noyau&#xa0;: les résultats n&apos;y sont pas enregistrés</translation>
    </message>
    <message>
        <source>. The file was being written in place and now holds only part of the results.</source>
        <translation>. Le fichier était réécrit sur place et ne contient plus qu&apos;une partie des résultats.</translation>
    </message>
    <message>
        <source>Path not found: %1 (%2)</source>
        <translation>Chemin introuvable&#xa0;: %1 (%2)</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Mémoire insuffisante</translation>
    </message>
    <message>
        <source>Invalid property value</source>
        <translation>Valeur de propriété non valide</translation>
    </message>
    <message>
        <source>Invalid procedure call or argument</source>
        <translation>Appel de procédure ou argument incorrect</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Fichier introuvable</translation>
    </message>
    <message>
        <source>Invalid picture</source>
        <translation>Image incorrecte</translation>
    </message>
    <message>
        <source>Object required</source>
        <translation>Objet requis</translation>
    </message>
    <message>
        <source>Invalid number of parameters</source>
        <translation>Nombre de paramètres non valide</translation>
    </message>
    <message>
        <source>Member not found</source>
        <translation>Membre introuvable</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Incompatibilité de type</translation>
    </message>
    <message>
        <source>Cannot load the skin &quot;%1&quot;: %2</source>
        <translation>Impossible de charger l&apos;habillage «&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>No skin is loaded</source>
        <translation>Aucun habillage n&apos;est chargé</translation>
    </message>
    <message>
        <source>Invalid window handle</source>
        <translation>Handle de fenêtre non valide</translation>
    </message>
    <message>
        <source>a comment opened on line %1 is never closed</source>
        <translation>un commentaire ouvert à la ligne %1 n&apos;est jamais fermé</translation>
    </message>
    <message>
        <source>line %1 has text outside any rule</source>
        <translation>la ligne %1 contient du texte hors de toute règle</translation>
    </message>
    <message>
        <source>line %1 has a rule without a proper selector</source>
        <translation>la ligne %1 contient une règle sans sélecteur valide</translation>
    </message>
    <message>
        <source>the rule on line %1 is never closed</source>
        <translation>la règle de la ligne %1 n&apos;est jamais fermée</translation>
    </message>
    <message>
        <source>the rule on line %1 has a declaration that is not &quot;name: value&quot;</source>
        <translation>la règle de la ligne %1 contient une déclaration qui n&apos;est pas de la forme «&#xa0;nom: valeur&#xa0;»</translation>
    </message>
    <message>
        <source>it holds no rules</source>
        <translation>il ne contient aucune règle</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be read or written.</source>
        <translation>Le fichier de paramètres %1 ne peut être ni lu ni écrit.</translation>
    </message>
    <message>
        <source>The settings file %1 is not a regular file.</source>
        <translation>Le fichier de paramètres %1 n&apos;est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <source>The settings file %1 is damaged: it is larger than %2 MB.</source>
        <translation>Le fichier de paramètres %1 est endommagé&#xa0;: il dépasse %2&#xa0;Mo.</translation>
    </message>
    <message>
        <source>The settings cannot be encoded: %1</source>
        <translation>Les paramètres ne peuvent pas être encodés&#xa0;: %1</translation>
    </message>
    <message>
        <source>The settings cannot be decoded: %1</source>
        <translation>Les paramètres ne peuvent pas être décodés&#xa0;: %1</translation>
    </message>
    <message>
        <source>The damaged settings file %1 cannot be kept aside.</source>
        <translation>Le fichier de paramètres endommagé %1 ne peut pas être mis de côté.</translation>
    </message>
    <message>
        <source>The settings file %1 would be larger than %2 MB.</source>
        <translation>Le fichier de paramètres %1 dépasserait %2&#xa0;Mo.</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Dépassement de capacité</translation>
    </message>
</context>
<context>
    <name>FailureReport</name>
    <message>
        <source>Application Error</source>
        <extracomment>The failure report&apos;s title.</extracomment>
        <translation>Erreur de l&apos;application</translation>
    </message>
    <message>
        <source>Please keep a screenshot of this message: no support address was set when this copy of Ostlebry was built.</source>
        <translation>Veuillez conserver une capture d&apos;écran de ce message&#xa0;: aucune adresse d&apos;assistance n&apos;a été définie lors de la compilation de cet exemplaire d&apos;Ostlebry.</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to </source>
        <extracomment>The support e-mail address follows.</extracomment>
        <translation>Veuillez envoyer une capture d&apos;écran de ce message par e-mail à </translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Searching </source>
        <extracomment>The folders list&apos;s header while a search runs; the folder&apos;s path follows.</extracomment>
        <translation>Recherche dans </translation>
    </message>
    <message>
        <source>Folder(s)</source>
        <translation>Dossier(s)</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Folder(s): the folders to search within</source>
        <translation>Dossier(s)&#xa0;: les dossiers où chercher</translation>
    </message>
    <message>
        <source>Results: the folders found</source>
        <translation>Résultats&#xa0;: les dossiers trouvés</translation>
    </message>
    <message>
        <source>Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <extracomment>Both lists&apos; tooltip; &quot;|&quot; is the line at the right end of the column&apos;s header.</extracomment>
        <translation>Double-cliquez sur un élément pour le retirer. Faites glisser le trait | vers la droite, hors de la fenêtre, pour voir les noms complets.</translation>
    </message>
    <message>
        <source>Search For These Character(s)</source>
        <translation>Rechercher ces caractères</translation>
    </message>
    <message>
        <source>Case Option</source>
        <translation>Casse</translation>
    </message>
    <message>
        <source>Match Case</source>
        <translation>Respecter</translation>
    </message>
    <message>
        <source>Option</source>
        <extracomment>The frame of the two display options below it.</extracomment>
        <translation>Affichage</translation>
    </message>
    <message>
        <source>Display full path</source>
        <translation>Chemin complet</translation>
    </message>
    <message>
        <source>Display folder name only </source>
        <translation>Nom du dossier seul </translation>
    </message>
    <message>
        <source>Add Drive/Folder To Search Within</source>
        <translation>Ajouter un lecteur/dossier où chercher</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Vider la liste</translation>
    </message>
    <message>
        <source>Load Sample/Example Folder</source>
        <translation>Charger le dossier d&apos;exemple</translation>
    </message>
    <message>
        <source>Start Finding</source>
        <translation>Lancer la recherche</translation>
    </message>
    <message>
        <source>Save Results As Text File</source>
        <translation>Enregistrer en fichier texte</translation>
    </message>
    <message>
        <source>Copy Results To Clipboard</source>
        <translation>Copier dans le presse-papiers</translation>
    </message>
    <message>
        <source>Remove Results Containing X</source>
        <extracomment>&quot;X&quot; stands for the phrase the command asks for.</extracomment>
        <translation>Retirer les résultats avec X</translation>
    </message>
    <message>
        <source>Remove Results Not Containing X</source>
        <extracomment>&quot;X&quot; stands for the phrase the command asks for.</extracomment>
        <translation>Retirer les résultats sans X</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Clear Results</source>
        <translation>Vider les résultats</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>Ouvrir le dossier</translation>
    </message>
    <message>
        <source>Open Containing Folder</source>
        <extracomment>Opens the folder that holds the row&apos;s folder, with that folder selected.</extracomment>
        <translation>Ouvrir le dossier parent</translation>
    </message>
    <message>
        <source>Copy Path</source>
        <translation>Copier le chemin</translation>
    </message>
    <message>
        <source>Tick All</source>
        <extracomment>Sets every row&apos;s check mark.</extracomment>
        <translation>Tout cocher</translation>
    </message>
    <message>
        <source>Untick All</source>
        <extracomment>Clears every row&apos;s check mark.</extracomment>
        <translation>Tout décocher</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Résultats</translation>
    </message>
</context>
<context>
    <name>HelpCommand</name>
    <message>
        <source>Questions? No contact page was set when this copy of Ostlebry was built.</source>
        <translation>Des questions&#xa0;? Aucune page de contact n&apos;a été définie lors de la compilation de cet exemplaire d&apos;Ostlebry.</translation>
    </message>
    <message>
        <source>Questions? Please contact Team Ostlebry at </source>
        <extracomment>The address of the maker&apos;s contact page follows.</extracomment>
        <translation>Des questions&#xa0;? Contactez l&apos;équipe Ostlebry à l&apos;adresse </translation>
    </message>
</context>
<context>
    <name>LocationCommands</name>
    <message>
        <source>Please select folder:</source>
        <extracomment>The folder browser&apos;s title.</extracomment>
        <translation>Veuillez choisir un dossier&#xa0;:</translation>
    </message>
</context>
<context>
    <name>LocationReports</name>
    <message>
        <source>1 folder</source>
        <extracomment>Begins &quot;1 folder could not be read: ...&quot; or &quot;1 folder in 1 more location could not be read: ...&quot;.</extracomment>
        <translation>1 dossier</translation>
    </message>
    <message>
        <source>%1 folders</source>
        <extracomment>Begins &quot;3 folders could not be read; the first: ...&quot; or &quot;3 folders in 2 more locations could not be read; the first: ...&quot;.</extracomment>
        <translation>%1 dossiers</translation>
    </message>
    <message>
        <source> could not be read: </source>
        <extracomment>After &quot;1 folder&quot; or &quot;1 folder in 1 more location&quot;; the folder&apos;s path and the reason follow.</extracomment>
        <translation> n&apos;a pas pu être lu&#xa0;: </translation>
    </message>
    <message>
        <source> could not be read; the first: </source>
        <extracomment>After &quot;3 folders&quot; or &quot;3 folders in 2 more locations&quot;; the first folder&apos;s path and the reason follow.</extracomment>
        <translation> n&apos;ont pas pu être lus&#xa0;; le premier&#xa0;: </translation>
    </message>
    <message>
        <source>1 more location could not be searched: </source>
        <extracomment>After three locations reported one by one; the failure follows.</extracomment>
        <translation>1 autre emplacement n&apos;a pas pu être parcouru&#xa0;: </translation>
    </message>
    <message>
        <source>%1 more locations could not be searched; the first: </source>
        <extracomment>After three locations reported one by one; the first one&apos;s failure follows.</extracomment>
        <translation>%1 autres emplacements n&apos;ont pas pu être parcourus&#xa0;; le premier&#xa0;: </translation>
    </message>
    <message>
        <source> in 1 more location</source>
        <extracomment>Between &quot;2 folders&quot; and &quot; could not be read; the first: &quot;.</extracomment>
        <translation> dans 1 autre emplacement</translation>
    </message>
    <message>
        <source> in %1 more locations</source>
        <extracomment>Between &quot;3 folders&quot; and &quot; could not be read; the first: &quot;.</extracomment>
        <translation> dans %1 autres emplacements</translation>
    </message>
</context>
<context>
    <name>ResultActions</name>
    <message>
        <source>This folder is no longer there:
</source>
        <extracomment>The folder&apos;s path follows on the next line.</extracomment>
        <translation>Ce dossier n&apos;existe plus&#xa0;:
</translation>
    </message>
    <message>
        <source>The desktop could not open this folder:
</source>
        <extracomment>The folder&apos;s path follows on the next line.</extracomment>
        <translation>Le bureau n&apos;a pas pu ouvrir ce dossier&#xa0;:
</translation>
    </message>
    <message>
        <source>No file manager is set to open folders, so this folder cannot be shown:
</source>
        <extracomment>The folder&apos;s path follows on the next line.</extracomment>
        <translation>Aucun gestionnaire de fichiers n&apos;est défini pour ouvrir les dossiers&#xa0;; ce dossier ne peut donc pas être affiché&#xa0;:
</translation>
    </message>
</context>
<context>
    <name>ResultFilterCommands</name>
    <message>
        <source>Remove entries containing: </source>
        <extracomment>The prompt of the box that asks for the phrase.</extracomment>
        <translation>Retirer les entrées contenant&#xa0;: </translation>
    </message>
    <message>
        <source>Remove entries not containing: </source>
        <extracomment>The prompt of the box that asks for the phrase.</extracomment>
        <translation>Retirer les entrées ne contenant pas&#xa0;: </translation>
    </message>
</context>
<context>
    <name>SaveResultsCommand</name>
    <message>
        <source>Save</source>
        <extracomment>The save dialog&apos;s title.</extracomment>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <extracomment>A file type in the save dialog; keep &quot;(*.txt)&quot; at its end.</extracomment>
        <translation>Fichiers texte (*.txt)</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Tous les fichiers (*.*)</translation>
    </message>
    <message>
        <source>Folders found.txt</source>
        <extracomment>The file name the save dialog proposes.</extracomment>
        <translation>Dossiers trouvés.txt</translation>
    </message>
    <message>
        <source>Are you sure you wish to overwrite %1 ?</source>
        <extracomment>%1 is the file&apos;s path.</extracomment>
        <translation>Voulez-vous vraiment écraser %1&#xa0;?</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Terminé.</translation>
    </message>
</context>
<context>
    <name>SearchRun</name>
    <message>
        <source>Input search for what phrase.</source>
        <translation>Saisissez les caractères à rechercher.</translation>
    </message>
    <message>
        <source>No folders added.</source>
        <translation>Aucun dossier ajouté.</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Terminé.</translation>
    </message>
</context>
</TS>
