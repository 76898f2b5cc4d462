<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>TAboutBox</name>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TAddForm</name>
    <message>
        <source>Add Files</source>
        <translation>Ajouter des fichiers</translation>
    </message>
    <message>
        <source>Select All Files</source>
        <translation>Tout sélectionner</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Save DirNames</source>
        <translation>Garder les dossiers</translation>
    </message>
    <message>
        <source>Recurse Dirs</source>
        <translation>Sous-dossiers</translation>
    </message>
    <message>
        <source>Encrypt Files</source>
        <translation>Chiffrer les fichiers</translation>
    </message>
    <message>
        <source>Add &amp;Dir  ==&gt;</source>
        <translation>Ajouter &amp;dossier  ==&gt;</translation>
    </message>
    <message>
        <source>&amp;Add File ==&gt;</source>
        <translation>&amp;Ajouter fichier ==&gt;</translation>
    </message>
    <message>
        <source>&amp;Remove &lt;==</source>
        <translation>&amp;Retirer &lt;==</translation>
    </message>
    <message>
        <source>DO IT &amp;NOW</source>
        <translation>EXÉCUTER &amp;MAINTENANT</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>A&amp;nnuler</translation>
    </message>
    <message>
        <source>Files to Add:</source>
        <translation>À ajouter :</translation>
    </message>
    <message>
        <source>&amp;Sort</source>
        <translation>&amp;Trier</translation>
    </message>
</context>
<context>
    <name>TExtract</name>
    <message>
        <source>Select Extract Directory</source>
        <translation>Choisir le dossier d&apos;extraction</translation>
    </message>
    <message>
        <source>Expand ZIP Dirs</source>
        <translation>Recréer les dossiers</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>OverWrite Existing</source>
        <translation>Écraser l&apos;existant</translation>
    </message>
    <message>
        <source>Files to Extract</source>
        <translation>Fichiers à extraire</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Tous les fichiers</translation>
    </message>
    <message>
        <source>Selected Files</source>
        <translation>Fichiers choisis</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
</context>
<context>
    <name>TMainform</name>
    <message>
        <source>Unknown error</source>
        <translation>Erreur inconnue</translation>
    </message>
    <message>
        <source>&lt;none&gt;</source>
        <translation>&lt;aucune&gt;</translation>
    </message>
    <message>
        <source>Open Existing ZIP File</source>
        <translation>Ouvrir un fichier ZIP existant</translation>
    </message>
    <message>
        <source>ZIP Files (*.ZIP, *.EXE)|*.zip;*.exe</source>
        <translation>Fichiers ZIP (*.ZIP, *.EXE)|*.zip;*.exe</translation>
    </message>
    <message>
        <source>Create New ZIP File</source>
        <translation>Créer un nouveau fichier ZIP</translation>
    </message>
    <message>
        <source>ZIP Files (*.ZIP)|*.zip</source>
        <translation>Fichiers ZIP (*.ZIP)|*.zip</translation>
    </message>
    <message>
        <source>Error: you must create a .ZIP file, then convert to .EXE</source>
        <translation>Erreur : créez d&apos;abord un fichier .ZIP, puis convertissez-le en .EXE</translation>
    </message>
    <message>
        <source>Error: your new archive must end in .ZIP</source>
        <translation>Erreur : votre nouvelle archive doit se terminer par .ZIP</translation>
    </message>
    <message>
        <source>Overwrite Existing File: %1?</source>
        <translation>Écraser le fichier existant : %1 ?</translation>
    </message>
    <message>
        <source>Zip file not found: %1</source>
        <translation>Fichier ZIP introuvable : %1</translation>
    </message>
    <message>
        <source>Are you sure you want to delete: %1?</source>
        <translation>Voulez-vous vraiment supprimer : %1 ?</translation>
    </message>
    <message>
        <source>Error - could not delete: %1</source>
        <translation>Erreur - impossible de supprimer : %1</translation>
    </message>
    <message>
        <source>Convert to ZIP</source>
        <translation>Convertir en ZIP</translation>
    </message>
    <message>
        <source>Convert to EXE</source>
        <translation>Convertir en EXE</translation>
    </message>
    <message>
        <source>Error - open a zip file first</source>
        <translation>Erreur - ouvrez d&apos;abord un fichier ZIP</translation>
    </message>
    <message>
        <source>No files selected</source>
        <translation>Aucun fichier choisi</translation>
    </message>
    <message>
        <source>No files to add</source>
        <translation>Aucun fichier à ajouter</translation>
    </message>
    <message>
        <source>Beginning Add to %1</source>
        <translation>Début de l&apos;ajout à %1</translation>
    </message>
    <message>
        <source>Error in Add; Fatal DLL Exception in mainunit</source>
        <translation>Erreur lors de l&apos;ajout ; exception fatale de la DLL dans mainunit</translation>
    </message>
    <message>
        <source>Error: file not found: %1</source>
        <translation>Erreur : fichier introuvable : %1</translation>
    </message>
    <message>
        <source>Error - no files to extract</source>
        <translation>Erreur - aucun fichier à extraire</translation>
    </message>
    <message>
        <source>Error - no files selected</source>
        <translation>Erreur - aucun fichier choisi</translation>
    </message>
    <message>
        <source>Beginning Extract from %1</source>
        <translation>Début de l&apos;extraction de %1</translation>
    </message>
    <message>
        <source>Error in Extract; Fatal DLL Exception in mainunit</source>
        <translation>Erreur lors de l&apos;extraction ; exception fatale de la DLL dans mainunit</translation>
    </message>
    <message>
        <source>Error - no files to delete</source>
        <translation>Erreur - aucun fichier à supprimer</translation>
    </message>
    <message>
        <source>Delete selected files from: %1?</source>
        <translation>Supprimer les fichiers choisis de : %1 ?</translation>
    </message>
    <message>
        <source>Beginning delete from %1</source>
        <translation>Début de la suppression dans %1</translation>
    </message>
    <message>
        <source>Fatal error trying to delete</source>
        <translation>Erreur fatale lors de la suppression</translation>
    </message>
    <message>
        <source>Error - nothing to Test</source>
        <translation>Erreur - rien à tester</translation>
    </message>
    <message>
        <source>Beginning test of %1</source>
        <translation>Début du test de %1</translation>
    </message>
    <message>
        <source>Error: no files in archive</source>
        <translation>Erreur : aucun fichier dans l&apos;archive</translation>
    </message>
    <message>
        <source>Filename is now: %1</source>
        <translation>Le nom du fichier est maintenant : %1</translation>
    </message>
    <message>
        <source>Error occured in making .ZIP file</source>
        <translation>Erreur lors de la création du fichier .ZIP</translation>
    </message>
    <message>
        <source>Error occured in making .EXE file</source>
        <translation>Erreur lors de la création du fichier .EXE</translation>
    </message>
    <message numerus="yes">
        <source>%n files were added</source>
        <translation>
            <numerusform>%n fichier a été ajouté</numerusform>
            <numerusform>%n fichiers ont été ajoutés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files were extracted</source>
        <translation>
            <numerusform>%n fichier a été extrait</numerusform>
            <numerusform>%n fichiers ont été extraits</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files were deleted</source>
        <translation>
            <numerusform>%n fichier a été supprimé</numerusform>
            <numerusform>%n fichiers ont été supprimés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>All %n files tested OK</source>
        <translation>
            <numerusform>Le fichier testé est correct (%n)</numerusform>
            <numerusform>Les %n fichiers testés sont corrects</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>ERROR: %n files tested BAD, or skipped!</source>
        <translation>
            <numerusform>ERREUR : %n fichier est DÉFECTUEUX ou a été ignoré !</numerusform>
            <numerusform>ERREUR : %n fichiers sont DÉFECTUEUX ou ont été ignorés !</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them replaced a member of the same name</source>
        <translation>
            <numerusform>%n d&apos;entre eux a remplacé un membre du même nom</numerusform>
            <numerusform>%n d&apos;entre eux ont remplacé un membre du même nom</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them replaced a member of the same name: choose Expand ZIP Dirs to keep folders</source>
        <translation>
            <numerusform>%n d&apos;entre eux a remplacé un membre du même nom : choisissez Recréer les dossiers pour garder les dossiers</numerusform>
            <numerusform>%n d&apos;entre eux ont remplacé un membre du même nom : choisissez Recréer les dossiers pour garder les dossiers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files were skipped: they already exist (choose OverWrite Existing to replace them)</source>
        <translation>
            <numerusform>%n fichier a été ignoré : il existe déjà (choisissez Écraser l&apos;existant pour le remplacer)</numerusform>
            <numerusform>%n fichiers ont été ignorés : ils existent déjà (choisissez Écraser l&apos;existant pour les remplacer)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled: %n files were extracted before the stop</source>
        <translation>
            <numerusform>Annulé : %n fichier a été extrait avant l&apos;arrêt</numerusform>
            <numerusform>Annulé : %n fichiers ont été extraits avant l&apos;arrêt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled: %n files were tested before the stop</source>
        <translation>
            <numerusform>Annulé : %n fichier a été testé avant l&apos;arrêt</numerusform>
            <numerusform>Annulé : %n fichiers ont été testés avant l&apos;arrêt</numerusform>
        </translation>
    </message>
    <message>
        <source>Cancelled: nothing was added; the archive was left as it was</source>
        <translation>Annulé : rien n&apos;a été ajouté ; l&apos;archive est restée telle quelle</translation>
    </message>
    <message>
        <source>Cancelled: nothing was deleted; the archive was left as it was</source>
        <translation>Annulé : rien n&apos;a été supprimé ; l&apos;archive est restée telle quelle</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>Password for the files to add:</source>
        <translation>Mot de passe des fichiers à ajouter :</translation>
    </message>
    <message>
        <source>The same password again:</source>
        <translation>Le même mot de passe, à nouveau :</translation>
    </message>
    <message>
        <source>Password for the encrypted files in %1:</source>
        <translation>Mot de passe des fichiers chiffrés de %1 :</translation>
    </message>
    <message>
        <source>The password did not open %1. Another password for the encrypted files in %2:</source>
        <translation>Le mot de passe n&apos;a pas ouvert %1. Un autre mot de passe pour les fichiers chiffrés de %2 :</translation>
    </message>
    <message>
        <source>Error - the password is empty</source>
        <translation>Erreur - le mot de passe est vide</translation>
    </message>
    <message>
        <source>Error - the two passwords differ</source>
        <translation>Erreur - les deux mots de passe diffèrent</translation>
    </message>
    <message>
        <source>Error - the password is longer than 80 bytes</source>
        <translation>Erreur - le mot de passe dépasse 80 octets</translation>
    </message>
    <message>
        <source>&amp;Find:</source>
        <translation>Rec&amp;hercher :</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Ouvrir</translation>
    </message>
    <message>
        <source>&amp;Extract…</source>
        <translation>&amp;Extraire…</translation>
    </message>
    <message>
        <source>&amp;Delete…</source>
        <translation>&amp;Supprimer…</translation>
    </message>
    <message>
        <source>&amp;Test</source>
        <translation>&amp;Tester</translation>
    </message>
    <message>
        <source>&amp;Copy Name</source>
        <translation>&amp;Copier le nom</translation>
    </message>
    <message>
        <source>&amp;Copy Names</source>
        <translation>&amp;Copier les noms</translation>
    </message>
    <message>
        <source>P&amp;roperties</source>
        <translation>P&amp;ropriétés</translation>
    </message>
    <message>
        <source>Open %1, or add it to %2?</source>
        <translation>Ouvrir %1, ou l&apos;ajouter à %2 ?</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Ajouter</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Error - could not open: %1</source>
        <translation>Erreur - impossible d&apos;ouvrir : %1</translation>
    </message>
    <message>
        <source>%1 was changed. Update it in %2?</source>
        <translation>%1 a été modifié. Le mettre à jour dans %2 ?</translation>
    </message>
    <message>
        <source>&amp;New Zip</source>
        <translation>&amp;Nouveau Zip</translation>
    </message>
    <message>
        <source>&amp;Open Zip</source>
        <translation>&amp;Ouvrir Zip</translation>
    </message>
    <message>
        <source>Dest&amp;roy Zip</source>
        <translation>&amp;Détruire Zip</translation>
    </message>
    <message>
        <source>A&amp;bout</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>files</source>
        <translation>fichiers</translation>
    </message>
    <message>
        <source>&amp;Add  to Zip</source>
        <translation>&amp;Ajouter au Zip</translation>
    </message>
    <message>
        <source>&amp;Extract from Zip</source>
        <translation>&amp;Extraire du Zip</translation>
    </message>
    <message>
        <source>&amp;Convert to EXE</source>
        <translation>&amp;Convertir en EXE</translation>
    </message>
    <message>
        <source>&amp;Test Zip</source>
        <translation>&amp;Tester le Zip</translation>
    </message>
    <message>
        <source>&amp;Delete From Zip</source>
        <translation>&amp;Supprimer du Zip</translation>
    </message>
    <message>
        <source>&amp;Show Msgs</source>
        <translation>&amp;Messages</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Durée :</translation>
    </message>
    <message>
        <source>Zipfile:</source>
        <translation>ZIP :</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Nom du fichier</translation>
    </message>
    <message>
        <source>Compr Size</source>
        <translation>Compressé</translation>
    </message>
    <message>
        <source>Uncmpr Size</source>
        <translation>Décompressé</translation>
    </message>
    <message>
        <source>Date/Time</source>
        <translation>Date/Heure</translation>
    </message>
</context>
<context>
    <name>TMakeSFX</name>
    <message>
        <source>Make Self Extracting Archive</source>
        <translation>Créer un programme auto-extractible</translation>
    </message>
    <message>
        <source>Default Overwrite Action</source>
        <translation>Écrasement par défaut</translation>
    </message>
    <message>
        <source>&amp;Ask User</source>
        <translation>&amp;Demander à l&apos;utilisateur</translation>
    </message>
    <message>
        <source>Al&amp;ways Overwrite</source>
        <translation>&amp;Toujours écraser</translation>
    </message>
    <message>
        <source>S&amp;kip extraction</source>
        <translation>&amp;Ignorer l&apos;extraction</translation>
    </message>
    <message>
        <source>Allow User to avoid running the command &amp;line</source>
        <translation>Permettre à l&apos;utilisateur d&apos;éviter la &amp;ligne de commande</translation>
    </message>
    <message>
        <source>Allow User to modify the &amp;file list to be extracted</source>
        <translation>Permettre à l&apos;utilisateur de modifier la liste des &amp;fichiers</translation>
    </message>
    <message>
        <source>&amp;Hide the Overwrite Action group box at run time</source>
        <translation>&amp;Masquer le choix d&apos;écrasement à l&apos;exécution</translation>
    </message>
    <message>
        <source>&amp;Do It Now</source>
        <translation>E&amp;xécuter</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>A&amp;nnuler</translation>
    </message>
    <message>
        <source>Ca&amp;ption of the Self Extracting Archive Program</source>
        <translation>Tit&amp;re du programme auto-extractible</translation>
    </message>
    <message>
        <source>Default Extract Di&amp;rectory on User&apos;s Computer  (if &apos;&gt;&lt;&apos; then the temporary directory will be used)</source>
        <translation>Dossier d&apos;extraction &amp;par défaut chez l&apos;utilisateur  (si &apos;&gt;&lt;&apos;, le dossier temporaire est utilisé)</translation>
    </message>
    <message>
        <source>Special Command Line Symbols:</source>
        <translation>Symboles spéciaux de la ligne de commande :</translation>
    </message>
    <message>
        <source>A vertical bar &apos;|&apos; separates the program name from the argument list</source>
        <translation>Une barre verticale &apos;|&apos; sépare le nom du programme de ses arguments</translation>
    </message>
    <message>
        <source>Two Arrows &apos;&gt;&lt;&apos; will be replaced by the actual extract directory</source>
        <translation>Deux flèches &apos;&gt;&lt;&apos; sont remplacées par le dossier d&apos;extraction réel</translation>
    </message>
    <message>
        <source>The following example runs notepad to display readme.txt in extract dir:</source>
        <translation>Cet exemple affiche readme.txt du dossier d&apos;extraction avec notepad :</translation>
    </message>
    <message>
        <source>Command Line to &amp;Exec After Extraction</source>
        <translation>Ligne de &amp;commande à exécuter après l&apos;extraction</translation>
    </message>
</context>
<context>
    <name>TMessageBox</name>
    <message>
        <source>Confirm</source>
        <translation>Confirmer</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Oui</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Non</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TMsgform</name>
    <message>
        <source>Memo Full - Updating Stopped, but your operation is continuing...</source>
        <translation>Liste des messages pleine - plus de mise à jour, mais l&apos;opération continue...</translation>
    </message>
    <message>
        <source>Error Msg from DLL: %1</source>
        <translation>Message d&apos;erreur de la DLL : %1</translation>
    </message>
    <message>
        <source>Zip Messages</source>
        <translation>Messages Zip</translation>
    </message>
    <message>
        <source>Progress of All Files</source>
        <translation>Progression totale</translation>
    </message>
    <message>
        <source>&amp;Cancel Operation</source>
        <translation>&amp;Annuler l&apos;opération</translation>
    </message>
    <message>
        <source>&amp;Dismiss this Window</source>
        <translation>&amp;Fermer cette fenêtre</translation>
    </message>
    <message>
        <source>File being manipulated</source>
        <translation>Fichier en cours</translation>
    </message>
</context>
<context>
    <name>TOpenDialog</name>
    <message>
        <source>Recent:</source>
        <translation>Récents :</translation>
    </message>
</context>
<context>
    <name>TPropertiesBox</name>
    <message>
        <source>Archive Properties</source>
        <translation>Propriétés de l&apos;archive</translation>
    </message>
    <message>
        <source>Archive:</source>
        <translation>ZIP :</translation>
    </message>
    <message>
        <source>Size on disk:</source>
        <translation>Taille sur le disque :</translation>
    </message>
    <message>
        <source>Members:</source>
        <translation>Membres :</translation>
    </message>
    <message>
        <source>Packed:</source>
        <translation>Compressé :</translation>
    </message>
    <message>
        <source>Unpacked:</source>
        <translation>Décompressé :</translation>
    </message>
    <message>
        <source>Ratio:</source>
        <translation>Taux :</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>Encrypted:</source>
        <translation>Chiffrés :</translation>
    </message>
    <message>
        <source>Self-extractor stub:</source>
        <translation>Amorce du programme auto-extractible :</translation>
    </message>
    <message>
        <source>Comment:</source>
        <translation>Commentaire :</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 octets</translation>
    </message>
    <message>
        <source>not on disk</source>
        <translation>absente du disque</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>, with %1</source>
        <translation>, avec %1</translation>
    </message>
    <message>
        <source> and %1</source>
        <translation> et %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
</TS>
