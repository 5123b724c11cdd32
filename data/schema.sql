-- Tables of ccdb.db. The program reads every table with SELECT * and finds columns by name,
-- so columns may be added; the ones below are the ones it reads.

-- Scan items of the basic cache scan. Folder is relative to a numbered content folder of a
-- resource, "\" between folder names, empty for the content folder itself. File holds the name
-- masks, one per line. UnScan 1 switches an item off.
CREATE TABLE ccdb (
  Id INTEGER PRIMARY KEY,
  Name TEXT NOT NULL,
  UnScan INTEGER NOT NULL DEFAULT 0,
  Folder TEXT NOT NULL DEFAULT '',
  File TEXT NOT NULL
);

-- Cache folders of other programs, relative to a drive root; searched without subfolders.
-- The three texts are stored as GBK bytes.
CREATE TABLE CacheClean (
  dir TEXT NOT NULL,
  FileName TEXT NOT NULL,
  Des TEXT NOT NULL
);

-- Notes on files: Px 0 for a whole file name, Px 1 for an extension with its leading point.
CREATE TABLE Info (
  KeyName TEXT NOT NULL,
  KeyValue TEXT NOT NULL,
  Px INTEGER NOT NULL
);
