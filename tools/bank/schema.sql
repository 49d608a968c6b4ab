-- Tables of a question bank ("MedicalDB.db").
-- The program reads several tables by column position, so column order matters:
-- tCateList, tQueType, examOutline and ConfigTable are read with "select *",
-- and a data repair rewrites tQue/ytQue columns 1 to 8 by position while it
-- keeps the user's columns from position 9 on.
-- Flags and states are text digits; times are "yyyy-MM-dd hh:mm:ss".
-- Defaults are unquoted: a repair copies them into ALTER statements inside quotes.

CREATE TABLE tCate (
  cateId   INTEGER PRIMARY KEY,
  cateName VARCHAR(200),
  faId     INTEGER DEFAULT 0,
  ord      INTEGER DEFAULT 0,
  choose   VARCHAR(1) DEFAULT 1
);

CREATE TABLE tCateList (
  cateListId    INTEGER PRIMARY KEY,
  cateId        INTEGER,
  queTypeId     INTEGER,
  publicQueText TEXT,
  ord           INTEGER DEFAULT 0
);

CREATE TABLE tQue (
  queId      INTEGER PRIMARY KEY,
  cateListId INTEGER,
  queText    TEXT,
  answer     TEXT,
  prompt     TEXT,
  IsDel      VARCHAR(1) DEFAULT 0,
  ord        INTEGER DEFAULT 0,
  queCode    VARCHAR(20),
  modTime    VARCHAR(19),
  userStatus VARCHAR(1) DEFAULT 0,
  userAnswer TEXT,
  userTime   VARCHAR(19),
  userFav    VARCHAR(1) DEFAULT 0,
  userNote   TEXT
);

CREATE TABLE tQueOpt (
  optId   INTEGER PRIMARY KEY AUTOINCREMENT,
  optName VARCHAR(4),
  optText TEXT,
  queId   INTEGER
);

CREATE TABLE tQueType (
  queTypeId   INTEGER PRIMARY KEY,
  queTypeName VARCHAR(50),
  memo        TEXT,
  typeOrd     INTEGER DEFAULT 0,
  typeScore   INTEGER DEFAULT 1,
  exam_count  INTEGER DEFAULT 0
);

CREATE TABLE ytCate (
  cateId   INTEGER PRIMARY KEY,
  cateName VARCHAR(200),
  faId     INTEGER DEFAULT 0,
  ord      INTEGER DEFAULT 0,
  H_type   VARCHAR(2) DEFAULT 1
);

CREATE TABLE ytCateList (
  cateListId    INTEGER PRIMARY KEY,
  cateId        INTEGER,
  queTypeId     INTEGER,
  publicQueText TEXT
);

CREATE TABLE ytQue (
  queId      INTEGER PRIMARY KEY,
  cateListId INTEGER,
  queText    TEXT,
  answer     TEXT,
  prompt     TEXT,
  IsDel      VARCHAR(1) DEFAULT 0,
  ord        INTEGER DEFAULT 0,
  queCode    VARCHAR(20),
  modTime    VARCHAR(19),
  userStatus VARCHAR(1) DEFAULT 0,
  userAnswer TEXT,
  userTime   VARCHAR(19),
  userFav    VARCHAR(1) DEFAULT 0,
  userNote   TEXT
);

CREATE TABLE ytQueOpt (
  optId   INTEGER PRIMARY KEY AUTOINCREMENT,
  optName VARCHAR(4),
  optText TEXT,
  queId   INTEGER
);

-- id is a hierarchical code ("001", "001002", ...); isLeaf is non-empty on a
-- node that has no children of its own.
CREATE TABLE examOutline (
  id      VARCHAR(30),
  content TEXT,
  isLeaf  VARCHAR(1)
);

CREATE TABLE sysConfig (
  key   VARCHAR(50),
  value TEXT,
  memo  TEXT
);

CREATE TABLE tQueLog (
  queId      INTEGER,
  type       VARCHAR(3),
  userStatus VARCHAR(1),
  userAnswer TEXT,
  userTime   VARCHAR(19),
  userNote   TEXT,
  userFav    VARCHAR(1)
);

CREATE TABLE ConfigTable (
  Key VARCHAR(50),
  V1  TEXT,
  V2  TEXT,
  V3  TEXT,
  V4  TEXT,
  V5  TEXT
);

-- Loaders walk groups by chapter, questions by group and options by question.
CREATE INDEX tCateListCate ON tCateList(cateId);
CREATE INDEX tQueGroup ON tQue(cateListId);
CREATE INDEX tQueOptQue ON tQueOpt(queId);
CREATE INDEX ytCateListCate ON ytCateList(cateId);
CREATE INDEX ytQueGroup ON ytQue(cateListId);
CREATE INDEX ytQueOptQue ON ytQueOpt(queId);
-- The home page's counts and the chapters' counts and latest answers read
-- only these columns of tQue (the store also adds them to banks without them).
CREATE INDEX tQueStudy ON tQue(IsDel, userStatus);
CREATE INDEX tQueGroupStudy ON tQue(cateListId, IsDel, userStatus, userTime);
